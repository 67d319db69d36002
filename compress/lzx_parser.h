// The LZX parser: turns one segment of a folder into blocks of literals and matches,
// choosing them by their cost in bits (a forward search for the cheapest path over every
// match the finder lists; for a segment's first block, whose costs are guessed, repeated
// with the costs of its own first result when the settings ask for passes) and
// each block's type by its size: verbatim, aligned offset or uncompressed.
//
// A segment is parsed from what it is given alone: the bytes before it (its history),
// its own bytes, and nothing that another segment's parse left behind. Its repeated
// offsets start unknown (a repeat is used only once a match of the segment has set it),
// its first costs are fixed guesses, and its match finder starts empty and is warmed up
// on the history. So any thread parses it to the same blocks.
#ifndef VELASET_COMPRESS_LZX_PARSER_H
#define VELASET_COMPRESS_LZX_PARSER_H

#include <cstdint>

#include "compress/lzx_segment.h"

namespace velaset::compress {

struct LzxParser;

typedef void* (*LzxAllocator)(uint32_t size);
typedef void (*LzxReleaser)(void* memory);

struct LzxParserSettings {
    int windowBits;        // 15..21
    uint32_t segmentBytes; // largest segment, a whole number of frames
    uint32_t historyBytes; // bytes before a segment its matches may reach
    uint32_t blockFrames;  // frames in a block, at most
    uint32_t passes;       // parses of each block: the first with guessed or earlier costs
    uint32_t depth;        // tree nodes a search visits
    uint32_t niceLength;   // a match this long is taken without looking further
};

// The parser with all its memory (through allocate); null when memory is short.
LzxParser* LzxParserCreate(const LzxParserSettings& settings, LzxAllocator allocate,
                           LzxReleaser release);
void LzxParserDestroy(LzxParser* parser);

// Parses bytes [history, history + size) of buffer, where buffer[0..history) are the
// folder's bytes just before them (at most the settings' history). size is at most the
// settings' segment size; the segment starts on a frame boundary of the folder. The
// blocks and matches go to segment, whose arrays have the capacities of lzx_segment.h.
void LzxParseSegment(LzxParser* parser, const uint8_t* buffer, uint32_t history, uint32_t size,
                     LzxSegment* segment);

} // namespace velaset::compress

#endif

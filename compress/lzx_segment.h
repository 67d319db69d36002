// What the LZX parser makes of one segment of a folder, for the stream writer: blocks
// with their code lengths, and the matches between runs of literals. A segment is a run
// of whole frames parsed on its own (its matches may reach back into the bytes before
// it), so that segments can be parsed on several threads with the same result.
#ifndef VELASET_COMPRESS_LZX_SEGMENT_H
#define VELASET_COMPRESS_LZX_SEGMENT_H

#include <cstdint>

#include "compress/lzx_format.h"

namespace velaset::compress {

// A match: its length and formatted offset (0-2: a repeated offset, else offset + 2),
// after `literals` literal bytes.
struct LzxMatch {
    uint32_t literals;
    uint32_t code; // length << 22 | formatted offset
};

inline uint32_t LzxMatchCode(uint32_t length, uint32_t formatted) {
    return length << 22 | formatted;
}
inline uint32_t LzxMatchLength(uint32_t code) {
    return code >> 22;
}
inline uint32_t LzxMatchFormatted(uint32_t code) {
    return code & 0x3FFFFF;
}

struct LzxBlock {
    LzxBlockType type;
    uint32_t start; // offset in the segment
    uint32_t size;  // uncompressed bytes
    uint32_t firstMatch;
    uint32_t matchCount;
    uint8_t mainLengths[kLzxMaxMainSymbols];
    uint8_t lengthLengths[kLzxLengthSymbols];
    uint8_t alignedLengths[kLzxAlignedSymbols];
};

struct LzxSegment {
    const uint8_t* data; // the segment's bytes, E8-translated
    uint32_t size;
    LzxBlock* blocks;
    uint32_t blockCount;
    uint32_t blockCapacity;
    LzxMatch* matches;
    uint32_t matchCount;
    uint32_t matchCapacity;
};

// Blocks a segment of `size` bytes may need, and matches.
inline uint32_t LzxBlockCapacity(uint32_t size) {
    return size / kLzxFrameSize + 2;
}
inline uint32_t LzxMatchCapacity(uint32_t size) {
    return size / 2 + 1;
}

} // namespace velaset::compress

#endif

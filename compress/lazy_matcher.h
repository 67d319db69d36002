// LZ77 stage of the MSZIP compressor: hash chains over a 64 KB window and lazy
// matching. The block being compressed stands in the window's upper half, the previous
// full block of the folder (the history) in the lower half.
#ifndef VELASET_COMPRESS_LAZY_MATCHER_H
#define VELASET_COMPRESS_LAZY_MATCHER_H

#include <cstdint>

#include "compress/deflate_encoder.h"
#include "compress/match_index.h"

namespace velaset::compress {

constexpr uint32_t kWindowSize = 65536;
constexpr uint32_t kBlockOffset = 32768; // where the block stands in the window
constexpr uint32_t kMaxDistance = 32506;
constexpr uint32_t kChainBudget = 4096;
constexpr int kLazyLimit = 32;         // no search while the pending match is this long
constexpr uint32_t kFarLength3 = 4096; // a 3-byte match farther than this is not worth it

struct DeflateState {
    uint8_t window[kWindowSize];
    MatchIndex index;   // head and chain tables, running hash
    uint32_t position;  // scan position in the window, up to 65536
    int32_t blockStart; // window position where the current deflate block starts
    uint32_t matchStart;
    DeflateEncoder encoder;
};

// Compresses the inputSize bytes of the block that stands in the window (at 0 without
// history, at 32768 with it) into output as "CK" and a complete deflate stream.
// Answers the output size in bytes; the encoder's overflow flag tells whether it fit.
uint32_t CompressWindowBlock(DeflateState& s, uint32_t inputSize, bool history, uint8_t* output,
                             uint32_t capacity);

} // namespace velaset::compress

#endif

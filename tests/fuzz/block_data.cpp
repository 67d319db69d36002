// Block data for the compression fuzz targets.
#include "tests/fuzz/block_data.h"

#include <algorithm>

namespace fuzz {
namespace {

uint32_t NextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

uint32_t ConsumeSize(FuzzedDataProvider& in, uint32_t maxSize) {
    // Sizes at and around the block boundaries are where the code has its edges.
    // Large blocks cost the most time, so most blocks are small.
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return maxSize;
    case 1:
        return maxSize - std::min<uint32_t>(maxSize, in.ConsumeIntegralInRange<uint32_t>(0, 3));
    case 2:
        return in.ConsumeIntegralInRange<uint32_t>(0, maxSize);
    default:
        return in.ConsumeIntegralInRange<uint32_t>(0, std::min<uint32_t>(maxSize, 600));
    }
}

} // namespace

std::vector<uint8_t> ConsumeBlock(FuzzedDataProvider& in, uint32_t maxSize) {
    int kind = in.ConsumeIntegralInRange<int>(0, 4);
    uint32_t size = ConsumeSize(in, maxSize);
    std::vector<uint8_t> block;
    if (kind == 0) { // the input itself
        block = in.ConsumeBytes<uint8_t>(size);
        return block;
    }
    block.resize(size);
    std::vector<uint8_t> pattern =
        in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 64));
    if (pattern.empty())
        pattern.push_back(0);
    uint32_t state = in.ConsumeIntegral<uint32_t>() | 1;
    int alphabet = in.ConsumeIntegralInRange<int>(2, 16);
    // A tiny alphabet makes every hash chain long and the search slow; large blocks of
    // it would take most of the fuzzing time, so they get a wider alphabet.
    if (size > 4096)
        alphabet = std::max(alphabet, 12);
    int changeEvery = in.ConsumeIntegralInRange<int>(1, 4096);
    for (uint32_t i = 0; i < size; ++i) {
        switch (kind) {
        case 1: // a pattern repeated
            block[i] = pattern[i % pattern.size()];
            break;
        case 2: // the pattern with scattered changes
            block[i] = pattern[i % pattern.size()];
            if (NextRandom(state) % changeEvery == 0)
                block[i] = static_cast<uint8_t>(NextRandom(state));
            break;
        case 3: // a small alphabet, as in text
            block[i] = pattern[NextRandom(state) % std::min<size_t>(alphabet, pattern.size())];
            break;
        default: // incompressible
            block[i] = static_cast<uint8_t>(NextRandom(state) >> 7);
            break;
        }
    }
    return block;
}

} // namespace fuzz

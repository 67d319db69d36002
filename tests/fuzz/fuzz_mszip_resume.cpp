// Fuzzes starting the MSZIP compressor in the middle of a folder: arbitrary full blocks,
// an arbitrary block to start at, primed with the block 1 to 3 blocks before it and warmed
// up with the ones between. Whenever MsZipSameHistory says the resumed compressor agrees
// with the one that compressed the folder from its start (the oracle), every following
// block must come out the same from both, and they must go on agreeing; two compressors
// that compressed the same blocks must always agree.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "compress/mszip.h"
#include "tests/compress/compressor_fixture.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

namespace {

// A full block from a few fuzz bytes: a block of any size, repeated with a change per
// repetition so that matches run across the copies without one long period.
std::vector<uint8_t> FullBlock(FuzzedDataProvider& in) {
    std::vector<uint8_t> part = fuzz::ConsumeBlock(in, MSZIP_MAX_BLOCK_SIZE);
    std::vector<uint8_t> block(MSZIP_MAX_BLOCK_SIZE);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = part.empty()
                       ? static_cast<uint8_t>(i * 31 >> 5)
                       : static_cast<uint8_t>(part[i % part.size()] + (i / part.size()) % 3);
    return block;
}

// The tests' compressor, which must not fail here.
struct Compressor : mszip_test::TestCompressor {
    std::vector<uint8_t> Next(const std::vector<uint8_t>& block) {
        std::vector<uint8_t> out = Compress(block);
        if (lastResult() != MSZIP_OK)
            Fail("MsZipCompress failed");
        return out;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const size_t count = in.ConsumeIntegralInRange<size_t>(3, 8);
    const size_t warm = in.ConsumeIntegralInRange<size_t>(0, count - 2 < 2 ? count - 2 : 2);
    const size_t start = in.ConsumeIntegralInRange<size_t>(warm + 1, count - 1);
    std::vector<std::vector<uint8_t>> blocks;
    for (size_t b = 0; b < count; ++b)
        blocks.push_back(FullBlock(in));
    // The last block may be short: the folder's end.
    if (in.ConsumeBool())
        blocks.back().resize(in.ConsumeIntegralInRange<size_t>(0, MSZIP_MAX_BLOCK_SIZE));

    Compressor oracle, twin, resumed;
    for (size_t b = 0; b < start; ++b) {
        std::vector<uint8_t> out = oracle.Next(blocks[b]);
        if (twin.Next(blocks[b]) != out)
            Fail("two compressors differ on the same blocks");
    }
    if (!MsZipSameHistory(oracle.get(), twin.get()))
        Fail("two compressors of the same blocks do not agree");
    const std::vector<uint8_t>& lead = blocks[start - warm - 1];
    if (MsZipPrime(resumed.get(), lead.data(), MSZIP_MAX_BLOCK_SIZE) != MSZIP_OK)
        Fail("MsZipPrime failed");
    for (size_t b = start - warm; b < start; ++b)
        resumed.Next(blocks[b]);
    bool agreed = MsZipSameHistory(oracle.get(), resumed.get());
    for (size_t b = start; agreed && b < count; ++b) {
        if (oracle.Next(blocks[b]) != resumed.Next(blocks[b]))
            Fail("block " + std::to_string(b) + " differs after an agreeing start at " +
                 std::to_string(start) + " (warm-up " + std::to_string(warm) + ")");
        if (blocks[b].size() == MSZIP_MAX_BLOCK_SIZE &&
            !MsZipSameHistory(oracle.get(), resumed.get()))
            Fail("the compressors stop agreeing after block " + std::to_string(b));
    }
    return 0;
}

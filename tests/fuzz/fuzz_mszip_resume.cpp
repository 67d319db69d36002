// Fuzzes starting the MSZIP compressor in the middle of a folder: arbitrary full blocks,
// an arbitrary block to start at, primed with the block 1 to 3 blocks before it and warmed
// up with the ones between. Whenever MsZipSameHistory says the resumed compressor agrees
// with the one that compressed the folder from its start (the oracle), every following
// block must come out the same from both, and they must go on agreeing; two compressors
// that compressed the same blocks must always agree.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compress/mszip.h"
#include "tests/fuzz/block_data.h"

using namespace velaset::compress;

namespace {

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_mszip_resume: %s\n", what.c_str());
    std::abort();
}

void* Allocate(uint32_t size) { return std::malloc(size); }
void Release(void* memory) { std::free(memory); }

// A full block from a few fuzz bytes: a block of any size, repeated with a change per
// repetition so that matches run across the copies without one long period.
std::vector<uint8_t> FullBlock(FuzzedDataProvider& in) {
    std::vector<uint8_t> part = fuzz::ConsumeBlock(in, MSZIP_MAX_BLOCK_SIZE);
    std::vector<uint8_t> block(MSZIP_MAX_BLOCK_SIZE);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = part.empty() ? static_cast<uint8_t>(i * 31 >> 5)
                                : static_cast<uint8_t>(part[i % part.size()] +
                                                       (i / part.size()) % 3);
    return block;
}

struct Compressor {
    MsZipCompressor* c = nullptr;
    uint32_t maxOutput = 0;
    Compressor() {
        uint32_t blockSize = MSZIP_MAX_BLOCK_SIZE;
        if (MsZipCreate(&blockSize, Allocate, Release, &c, &maxOutput) != MSZIP_OK)
            Fail("MsZipCreate failed");
    }
    ~Compressor() { MsZipDestroy(c); }
    std::vector<uint8_t> Compress(const std::vector<uint8_t>& block) {
        std::vector<uint8_t> out(maxOutput);
        uint32_t size = 0;
        if (MsZipCompress(c, block.data(), static_cast<uint32_t>(block.size()), out.data(),
                          maxOutput, &size) != MSZIP_OK)
            Fail("MsZipCompress failed");
        out.resize(size);
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
        std::vector<uint8_t> out = oracle.Compress(blocks[b]);
        if (twin.Compress(blocks[b]) != out)
            Fail("two compressors differ on the same blocks");
    }
    if (!MsZipSameHistory(oracle.c, twin.c))
        Fail("two compressors of the same blocks do not agree");
    const std::vector<uint8_t>& lead = blocks[start - warm - 1];
    if (MsZipPrime(resumed.c, lead.data(), MSZIP_MAX_BLOCK_SIZE) != MSZIP_OK)
        Fail("MsZipPrime failed");
    for (size_t b = start - warm; b < start; ++b)
        resumed.Compress(blocks[b]);
    bool agreed = MsZipSameHistory(oracle.c, resumed.c);
    for (size_t b = start; agreed && b < count; ++b) {
        if (oracle.Compress(blocks[b]) != resumed.Compress(blocks[b]))
            Fail("block " + std::to_string(b) + " differs after an agreeing start at " +
                 std::to_string(start) + " (warm-up " + std::to_string(warm) + ")");
        if (blocks[b].size() == MSZIP_MAX_BLOCK_SIZE && !MsZipSameHistory(oracle.c, resumed.c))
            Fail("the compressors stop agreeing after block " + std::to_string(b));
    }
    return 0;
}

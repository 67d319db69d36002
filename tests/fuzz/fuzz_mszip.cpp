// Fuzzes the MSZIP compressor: arbitrary data in arbitrary block sizes, folders cut at
// arbitrary points. Every block must decode with libdeflate to exactly its input (with
// the previous block as history only when that one was a full 32768-byte block of the
// same folder), and no output may exceed block size + 12 bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "compress/mszip.h"
#include "tests/compress/oracles.h"
#include "tests/fuzz/block_data.h"

using namespace velaset::compress;

namespace {

void Fail(const char* what, uint32_t blockIndex, const std::string& detail) {
    std::fprintf(stderr, "fuzz_mszip: block %u: %s %s\n", blockIndex, what, detail.c_str());
    std::abort();
}

void* Allocate(uint32_t size) {
    return std::malloc(size);
}
void Release(void* memory) {
    std::free(memory);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly the writer's block size; sometimes another one, 0 and oversized included.
    uint32_t blockSize = in.ConsumeBool() ? MSZIP_MAX_BLOCK_SIZE : in.ConsumeIntegral<uint32_t>();
    if (in.ConsumeBool())
        blockSize %= 40000;
    uint32_t requested = blockSize;
    MsZipCompressor* compressor = nullptr;
    uint32_t maxOutput = 0;
    if (MsZipCreate(&blockSize, Allocate, Release, &compressor, &maxOutput) != MSZIP_OK)
        Fail("MsZipCreate failed", 0, "");
    uint32_t expectedSize =
        requested == 0 || requested > MSZIP_MAX_BLOCK_SIZE ? MSZIP_MAX_BLOCK_SIZE : requested;
    if (blockSize != expectedSize || maxOutput != blockSize + 12)
        Fail("MsZipCreate sizes", 0, std::to_string(blockSize) + " " + std::to_string(maxOutput));

    // The output buffer has exactly the capacity the compressor asks for, so that an
    // overrun shows as a sanitizer report.
    std::vector<uint8_t> output(maxOutput);
    std::vector<uint8_t> previous; // the last block, when it may serve as history
    std::vector<uint8_t> decoded;
    std::string error;
    for (uint32_t index = 0; in.remaining_bytes() > 0 && index < 12; ++index) {
        if (in.ConsumeIntegralInRange<int>(0, 7) == 0) { // a folder boundary
            if (MsZipReset(compressor) != MSZIP_OK)
                Fail("MsZipReset failed", index, "");
            previous.clear();
        }
        std::vector<uint8_t> block = fuzz::ConsumeBlock(in, blockSize);
        uint32_t outSize = 0;
        int result = MsZipCompress(compressor, block.data(), static_cast<uint32_t>(block.size()),
                                   output.data(), maxOutput, &outSize);
        if (result != MSZIP_OK)
            Fail("MsZipCompress answered", index, std::to_string(result));
        if (outSize > blockSize + 12)
            Fail("output larger than block size + 12:", index, std::to_string(outSize));
        if (!mszip_test::InflateMsZipBlock(output.data(), outSize, previous, block.size(), &decoded,
                                           &error))
            Fail("does not decode:", index, error);
        if (decoded != block)
            Fail("decodes to other data", index,
                 std::to_string(decoded.size()) + " bytes for " + std::to_string(block.size()));
        if (block.size() == MSZIP_MAX_BLOCK_SIZE)
            previous = block;
        else
            previous.clear();
    }

    // A wrong call is refused, never carried out.
    uint32_t outSize = 0;
    std::vector<uint8_t> tooLarge(blockSize + 1);
    if (MsZipCompress(compressor, tooLarge.data(), blockSize + 1, output.data(), maxOutput,
                      &outSize) != MSZIP_BAD_CALL)
        Fail("input beyond the block size accepted", 0, "");
    if (MsZipCompress(compressor, tooLarge.data(), 1, output.data(), maxOutput - 1, &outSize) !=
        MSZIP_BAD_CALL)
        Fail("output capacity below block size + 12 accepted", 0, "");
    if (MsZipDestroy(compressor) != MSZIP_OK)
        Fail("MsZipDestroy failed", 0, "");
    return 0;
}

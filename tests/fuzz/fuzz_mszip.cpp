// Fuzzes the MSZIP compressor: arbitrary data in arbitrary block sizes, folders cut at
// arbitrary points. Every block must decode with libdeflate to exactly its input (with
// the previous block as history only when that one was a full 32768-byte block of the
// same folder), and no output may exceed block size + 12 bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "compress/mszip.h"
#include "tests/compress/oracles.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly the writer's block size; sometimes another one, 0 and oversized included.
    uint32_t blockSize = in.ConsumeBool() ? MSZIP_MAX_BLOCK_SIZE : in.ConsumeIntegral<uint32_t>();
    if (in.ConsumeBool())
        blockSize %= 40000;
    const uint32_t requested = blockSize;
    MsZipCompressor* compressor = nullptr;
    uint32_t maxOutput = 0;
    const auto allocate = [](uint32_t bytes) { return std::malloc(bytes); };
    if (MsZipCreate(&blockSize, allocate, std::free, &compressor, &maxOutput) != MSZIP_OK)
        Fail("MsZipCreate failed");
    if (blockSize != (requested == 0 || requested > MSZIP_MAX_BLOCK_SIZE ? MSZIP_MAX_BLOCK_SIZE
                                                                         : requested) ||
        maxOutput != blockSize + 12)
        Fail("MsZipCreate sizes " + std::to_string(blockSize) + " " + std::to_string(maxOutput));

    // The output buffer has exactly the capacity the compressor asks for, so that an
    // overrun shows as a sanitizer report.
    std::vector<uint8_t> output(maxOutput), previous, decoded; // previous: the history
    std::string error;
    uint32_t outSize = 0;
    for (uint32_t index = 0; in.remaining_bytes() > 0 && index < 12; ++index) {
        const std::string at = "block " + std::to_string(index) + ": ";
        if (in.ConsumeIntegralInRange<int>(0, 7) == 0) { // a folder boundary
            if (MsZipReset(compressor) != MSZIP_OK)
                Fail(at + "MsZipReset failed");
            previous.clear();
        }
        std::vector<uint8_t> block = fuzz::ConsumeBlock(in, blockSize);
        int result = MsZipCompress(compressor, block.data(), static_cast<uint32_t>(block.size()),
                                   output.data(), maxOutput, &outSize);
        if (result != MSZIP_OK)
            Fail(at + "MsZipCompress answered " + std::to_string(result));
        if (outSize > blockSize + 12)
            Fail(at + "output larger than block size + 12: " + std::to_string(outSize));
        if (!mszip_test::InflateMsZipBlock(output.data(), outSize, previous, block.size(), &decoded,
                                           &error))
            Fail(at + "does not decode: " + error);
        if (decoded != block)
            Fail(at + "decodes to " + std::to_string(decoded.size()) + " other bytes");
        previous = block.size() == MSZIP_MAX_BLOCK_SIZE ? block : std::vector<uint8_t>();
    }

    // A wrong call is refused, never carried out.
    std::vector<uint8_t> tooLarge(blockSize + 1);
    if (MsZipCompress(compressor, tooLarge.data(), blockSize + 1, output.data(), maxOutput,
                      &outSize) != MSZIP_BAD_CALL)
        Fail("input beyond the block size accepted");
    if (MsZipCompress(compressor, tooLarge.data(), 1, output.data(), maxOutput - 1, &outSize) !=
        MSZIP_BAD_CALL)
        Fail("output capacity below block size + 12 accepted");
    if (MsZipDestroy(compressor) != MSZIP_OK)
        Fail("MsZipDestroy failed");
    return 0;
}

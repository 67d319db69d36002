// A block without history comes out the same whatever the compressor compressed
// before: the output of a package must not depend on the order in which the folders
// were compressed, or on which of several compressors took them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "compress/mszip.h"

using namespace velaset::compress;

namespace {

void* Allocate(uint32_t size) { return std::malloc(size); }
void Release(void* block) { std::free(block); }

std::vector<uint8_t> Compress(MsZipCompressor* compressor, const std::vector<uint8_t>& input) {
    std::vector<uint8_t> output(MSZIP_MAX_BLOCK_SIZE + 12);
    uint32_t size = 0;
    EXPECT_EQ(MsZipCompress(compressor, input.data(), static_cast<uint32_t>(input.size()),
                            output.data(), static_cast<uint32_t>(output.size()), &size),
              MSZIP_OK);
    output.resize(size);
    return output;
}

// Letters a..p at random (compressible, so the block is not stored) where the end of the
// block repeats twice: "ABCDQ" at 100, "ABCDR" at 200, and "ABCD" as the last bytes. Whatever stands after the block's end in the compressor's
// window (here the "Q"s of an earlier block) must not make the older match win.
std::vector<uint8_t> EndRepeatsTwice(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<uint8_t>('a' + ((state >> 24) & 15));
    }
    const uint8_t older[] = {'A', 'B', 'C', 'D', 'Q'}, newer[] = {'A', 'B', 'C', 'D', 'R'};
    std::copy(older, older + 5, bytes.begin() + 100);
    std::copy(newer, newer + 5, bytes.begin() + 200);
    std::copy(older, older + 4, bytes.end() - 4);
    return bytes;
}

TEST(MsZipHistoryFree, BlockAfterResetEqualsTheSameBlockFromAFreshCompressor) {
    const std::vector<uint8_t> earlier(MSZIP_MAX_BLOCK_SIZE, 'Q');
    for (std::size_t size : {300u, 700u, 5000u, 20000u}) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> block = EndRepeatsTwice(size);
        uint32_t blockSize = 0;
        MsZipCompressor* fresh = nullptr;
        MsZipCompressor* used = nullptr;
        uint32_t maxOutput = 0;
        ASSERT_EQ(MsZipCreate(&blockSize, Allocate, Release, &fresh, &maxOutput), MSZIP_OK);
        ASSERT_EQ(MsZipCreate(&blockSize, Allocate, Release, &used, &maxOutput), MSZIP_OK);
        Compress(used, earlier);
        ASSERT_EQ(MsZipReset(used), MSZIP_OK);
        EXPECT_EQ(Compress(used, block), Compress(fresh, block));
        MsZipDestroy(fresh);
        MsZipDestroy(used);
    }
}

} // namespace

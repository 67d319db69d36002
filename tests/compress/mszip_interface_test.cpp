#include <gtest/gtest.h>

#include <cstdlib>

#include "compress/mszip.h"

namespace {
void* Allocate(uint32_t size) { return std::malloc(size); }
void Release(void* memory) { std::free(memory); }
} // namespace

TEST(MsZipInterface, CreateTakesZeroOrOversizedBlockSizeAs32768) {
    for (uint32_t requested : {0u, 32769u, 100000u}) {
        uint32_t size = requested;
        MsZipCompressor* c = nullptr;
        uint32_t maxOutput = 0;
        ASSERT_EQ(MsZipCreate(&size, Allocate, Release, &c, &maxOutput), MSZIP_OK);
        EXPECT_EQ(size, 32768u);
        EXPECT_EQ(maxOutput, 32780u);
        EXPECT_EQ(MsZipDestroy(c), MSZIP_OK);
    }
}

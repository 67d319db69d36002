// Test compressor with malloc and free as its memory callbacks.
#include "tests/compress/compressor_fixture.h"

#include <cstdlib>

using namespace velaset::compress;

namespace mszip_test {

namespace {
void* Allocate(uint32_t size) {
    return std::malloc(size);
}
void Release(void* memory) {
    std::free(memory);
}
} // namespace

TestCompressor::TestCompressor() {
    uint32_t blockSize = MSZIP_MAX_BLOCK_SIZE;
    lastResult_ = MsZipCreate(&blockSize, Allocate, Release, &compressor_, &maxOutput_);
}

TestCompressor::~TestCompressor() {
    if (compressor_ != nullptr)
        MsZipDestroy(compressor_);
}

Bytes TestCompressor::Compress(const uint8_t* input, size_t size) {
    Bytes output(maxOutput_);
    uint32_t written = 0;
    lastResult_ = MsZipCompress(compressor_, input, static_cast<uint32_t>(size), output.data(),
                                maxOutput_, &written);
    if (lastResult_ != MSZIP_OK)
        return Bytes();
    output.resize(written);
    return output;
}

void TestCompressor::Reset() {
    lastResult_ = MsZipReset(compressor_);
}

} // namespace mszip_test

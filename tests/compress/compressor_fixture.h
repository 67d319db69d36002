// A compressor owned by a test, with the malloc-based memory callbacks.
#ifndef VELASET_TESTS_COMPRESS_COMPRESSOR_FIXTURE_H
#define VELASET_TESTS_COMPRESS_COMPRESSOR_FIXTURE_H

#include "compress/mszip.h"
#include "tests/compress/test_data.h"

namespace mszip_test {

class TestCompressor {
  public:
    TestCompressor();
    ~TestCompressor();
    TestCompressor(const TestCompressor&) = delete;
    TestCompressor& operator=(const TestCompressor&) = delete;

    // Compresses one block; on success answers its MSZIP form, else an empty result and
    // the answer in lastResult().
    Bytes Compress(const uint8_t* input, size_t size);
    Bytes Compress(const Bytes& input) { return Compress(input.data(), input.size()); }
    void Reset();
    int lastResult() const { return lastResult_; }
    velaset::compress::MsZipCompressor* get() { return compressor_; }

  private:
    velaset::compress::MsZipCompressor* compressor_ = nullptr;
    uint32_t maxOutput_ = 0;
    int lastResult_ = 0;
};

} // namespace mszip_test

#endif

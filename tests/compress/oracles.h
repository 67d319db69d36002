// Independent checks of the compressor's output (native build only): libdeflate's
// decompressor and libmspack. The fuzz targets share them.
#ifndef VELASET_TESTS_COMPRESS_ORACLES_H
#define VELASET_TESTS_COMPRESS_ORACLES_H

#include <string>
#include <vector>

#include "tests/compress/test_data.h"

namespace mszip_test {

// Decodes one MSZIP block ("CK" and a deflate stream that must end exactly at the end
// of the block) whose matches may reach into history (the previous block's bytes, or
// nothing). The history goes in front of the stream as a stored deflate block, so a
// plain decompressor sees history + block as one stream. On success *out is the
// block's own data; on failure *error says what was wrong.
bool InflateMsZipBlock(const uint8_t* block, size_t size, const Bytes& history, size_t expectedSize,
                       Bytes* out, std::string* error);

// Decompresses an MSZIP block that follows `history` (the bytes of the block before, or
// nothing) with libdeflate; answers an empty text when it gives exactly `expected`.
std::string CheckWithLibdeflate(const Bytes& block, const Bytes& expected,
                                const Bytes& history = Bytes());

// Extracts every file of the cabinet at `cab` into `dir` with libmspack; answers an
// empty text, or what went wrong.
std::string ExtractWithLibmspack(const std::string& cab, const std::string& dir);

} // namespace mszip_test

#endif

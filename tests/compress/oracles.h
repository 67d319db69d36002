// Independent checks of the compressor's output (native build only): libdeflate's
// decompressor, cabextract and libmspack. The fuzz targets share them.
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

// Decompresses an MSZIP block without history (its "CK" is checked and skipped) with
// libdeflate; answers an empty text when it gives exactly `expected`.
std::string CheckWithLibdeflate(const Bytes& block, const Bytes& expected);

// The same for a block that follows `history`, the bytes of the block before.
std::string CheckWithLibdeflateAfter(const Bytes& history, const Bytes& block,
                                     const Bytes& expected);

// One folder of a cabinet: the MSZIP blocks of one compressor run without a reset and
// the data they stand for.
struct CabinetFolder {
    std::vector<Bytes> blocks;
    std::vector<uint32_t> blockSizes; // uncompressed size of each block
    Bytes data;
};

// Wraps the folders into a minimal cabinet (one file per folder), lets
// "cabextract -t" test it and then extracts it; answers an empty text when every file
// came out equal to its folder's data.
std::string CheckWithCabextract(const std::vector<CabinetFolder>& folders);

// Extracts every file of the cabinet at `cab` into `dir` with libmspack; answers an
// empty text, or what went wrong.
std::string ExtractWithLibmspack(const std::string& cab, const std::string& dir);

} // namespace mszip_test

#endif

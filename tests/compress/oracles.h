// Independent checks of the compressor's output (native build only): libdeflate's
// decompressor and cabextract.
#ifndef VELASET_TESTS_COMPRESS_ORACLES_H
#define VELASET_TESTS_COMPRESS_ORACLES_H

#include <string>
#include <vector>

#include "tests/compress/test_data.h"

namespace mszip_test {

// Decompresses an MSZIP block without history (its "CK" is checked and skipped) with
// libdeflate; answers an empty text when it gives exactly `expected`.
std::string CheckWithLibdeflate(const Bytes& block, const Bytes& expected);

// The same for a block that follows the full block `history`: the history goes in
// front as a stored deflate block, so libdeflate decodes both as one stream.
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

} // namespace mszip_test

#endif

// Reads the block structure of a deflate stream: block types, the symbols of coded
// blocks and the code lengths that dynamic blocks describe. Tests use it to look at
// how the compressor chose to code its input; whether the stream decodes to the input
// is always checked by an independent decoder (libdeflate).
#ifndef VELASET_TESTS_COMPRESS_DEFLATE_STRUCTURE_H
#define VELASET_TESTS_COMPRESS_DEFLATE_STRUCTURE_H

#include <cstdint>
#include <string>
#include <vector>

namespace mszip_test {

// The first distance of each of the 30 distance codes.
extern const uint16_t kDistanceBase[30];

struct DeflateSymbol {
    uint16_t length;   // 0 for a literal
    uint16_t distance; // of a match
    uint8_t literal;
};

struct DeflateBlock {
    int type = 0; // 0 stored, 1 fixed codes, 2 dynamic codes
    bool final = false;
    uint32_t storedLength = 0;
    std::vector<DeflateSymbol> symbols;  // of coded blocks, end of block not included
    std::vector<uint8_t> literalLengths; // dynamic blocks: the code lengths sent
    std::vector<uint8_t> distanceLengths;
    int bitLengthCount = 0; // dynamic blocks: bit-length code lengths sent
    uint32_t firstByte = 0; // position of the block in the decoded stream
};

// Reads data[0..size) as a deflate stream up to its final block; answers an empty text,
// or what it could not read.
std::string ReadDeflateStructure(const uint8_t* data, size_t size,
                                 std::vector<DeflateBlock>& blocks);

} // namespace mszip_test

#endif

// Deflate block encoder: buffers the literals and matches of the LZ77 stage, tells it
// when a deflate block should end, and writes each block stored, with the fixed codes
// or with codes built for it, whichever its estimate finds smallest.
#ifndef VELASET_COMPRESS_DEFLATE_ENCODER_H
#define VELASET_COMPRESS_DEFLATE_ENCODER_H

#include <cstdint>

#include "compress/bit_writer.h"
#include "compress/deflate_tables.h"
#include "compress/huffman_tree.h"

namespace velaset::compress {

constexpr uint32_t kSymbolBufferSize = 32768;
// Each match covers at least 3 of the at most 32768 bytes of an MSZIP block.
constexpr uint32_t kDistanceBufferSize = 16384;
constexpr uint32_t kFlagBufferSize = kSymbolBufferSize / 8;

struct DeflateEncoder {
    BitWriter out;
    uint32_t totalBits; // compressed length of the MSZIP block so far, "CK" not counted

    uint8_t* literals;              // per symbol: the literal, or the match length - 3
    uint16_t* distances;            // per match: distance - 1
    uint8_t flags[kFlagBufferSize]; // one bit per symbol, set for a match
    uint32_t symbolCount;
    uint32_t distanceCount;
    uint32_t flagCount;
    uint8_t flagByte;
    uint8_t flagBit;

    HuffmanTree literalTree;
    HuffmanTree distanceTree;
    HuffmanTree bitLengthTree;
    HuffmanWork work;
    BlockEstimate estimate;
    int lastBitLengthIndex; // position in kBitLengthOrder of the last length sent

    DeflateTables tables;
};

// Starts an MSZIP block's deflate stream in output (the fixed tables are built on the
// first call).
void EncoderPrepare(DeflateEncoder& e, uint8_t* output, uint32_t capacity);

// Writes the buffered symbols as one deflate block. bytes are the storedLength input
// bytes that the symbols stand for. Answers the compressed length of the MSZIP block
// so far in bytes ("CK" not counted); after the final block that is its whole length.
uint32_t EncoderCutBlock(DeflateEncoder& e, const uint8_t* bytes, uint32_t storedLength,
                         bool final);

// The estimate made every 4096 symbols: a block that already compresses well is ended
// early so that the next one gets codes fitted to its own data.
enum class BlockType { Stored, Fixed, Dynamic };

// The smallest form by the estimates in bits; stored wins ties with the coded forms and
// the fixed codes win ties with this block's own.
BlockType ChooseBlockType(uint32_t storedLength, int32_t optimalBits, int32_t fixedBits);

bool EncoderCheckCut(const DeflateEncoder& e, uint32_t scanned);

// Advances the symbol count and flag bits; answers whether the block should end.
// scanned: input bytes since the start of the deflate block.
inline bool EncoderTally(DeflateEncoder& e, uint32_t scanned) {
    e.symbolCount++;
    e.flagBit = static_cast<uint8_t>(e.flagBit << 1);
    if ((e.symbolCount & 7) == 0) {
        e.flags[e.flagCount++] = e.flagByte;
        e.flagByte = 0;
        e.flagBit = 1;
    }
    if ((e.symbolCount & 0xFFF) == 0 && EncoderCheckCut(e, scanned))
        return true;
    return e.symbolCount == kSymbolBufferSize - 1 || e.distanceCount == kSymbolBufferSize;
}

inline bool EncoderRecordLiteral(DeflateEncoder& e, uint8_t byte, uint32_t scanned) {
    e.literals[e.symbolCount] = byte;
    e.literalTree.frequency[byte]++;
    return EncoderTally(e, scanned);
}

inline bool EncoderRecordMatch(DeflateEncoder& e, uint32_t distance, uint32_t length,
                               uint32_t scanned) {
    uint32_t lengthCode = e.tables.lengthCode[length - kMinMatch];
    e.literals[e.symbolCount] = static_cast<uint8_t>(length - kMinMatch);
    e.distances[e.distanceCount++] = static_cast<uint16_t>(distance - 1);
    e.literalTree.frequency[kFirstLengthSymbol + lengthCode]++;
    e.distanceTree.frequency[DistanceCodeOf(e.tables, distance - 1)]++;
    e.flagByte |= e.flagBit;
    return EncoderTally(e, scanned);
}

} // namespace velaset::compress

#endif

// Deflate block encoder: the block cut, the choice of block type and the symbol coding.
#include "compress/deflate_encoder.h"

#include "compress/code_length_runs.h"

namespace velaset::compress {

namespace {

const TreeShape kLiteralShape = {kLiteralSymbols, kMaxCodeLength, kLengthExtraBits,
                                 kFirstLengthSymbol, nullptr};
const TreeShape kDistanceShape = {kDistanceCodes, kMaxCodeLength, kDistanceExtraBits, 0, nullptr};
const TreeShape kBitLengthShape = {kBitLengthSymbols, 7, kBitLengthExtraBits, 0, nullptr};

void StartDeflateBlock(DeflateEncoder& e) {
    for (int s = 0; s < kLiteralSymbols; s++)
        e.literalTree.frequency[s] = 0;
    for (int s = 0; s < kDistanceCodes; s++)
        e.distanceTree.frequency[s] = 0;
    for (int s = 0; s < kBitLengthSymbols; s++)
        e.bitLengthTree.frequency[s] = 0;
    e.literalTree.frequency[kEndOfBlock] = 1;
    e.estimate.optimal = 0;
    e.estimate.fixed = 0;
    e.symbolCount = 0;
    e.distanceCount = 0;
    e.flagCount = 0;
    e.flagByte = 0;
    e.flagBit = 1;
}

// Builds the bit-length tree over the run-length form of both trees' code lengths and
// adds the cost of the tree description's header to the estimate.
void BuildBitLengthTree(DeflateEncoder& e) {
    uint32_t* frequency = e.bitLengthTree.frequency;
    auto count = [frequency](int symbol, int, int) { frequency[symbol]++; };
    WalkCodeLengthRuns(e.literalTree.length, e.literalTree.largestCode, count);
    WalkCodeLengthRuns(e.distanceTree.length, e.distanceTree.largestCode, count);
    BuildHuffmanTree(e.bitLengthTree, kBitLengthShape, e.work, e.estimate);

    int last = kBitLengthSymbols - 1;
    while (last > 3 && e.bitLengthTree.length[kBitLengthOrder[last]] == 0)
        last--;
    e.lastBitLengthIndex = last;
    e.estimate.optimal += 3 * (last + 1) + 5 + 5 + 4;
}

void SendTreeDescription(DeflateEncoder& e) {
    BitWriter& out = e.out;
    BitWriterSend(out, e.literalTree.largestCode + 1 - 257, 5);
    BitWriterSend(out, e.distanceTree.largestCode + 1 - 1, 5);
    BitWriterSend(out, e.lastBitLengthIndex + 1 - 4, 4);
    for (int rank = 0; rank <= e.lastBitLengthIndex; rank++)
        BitWriterSend(out, e.bitLengthTree.length[kBitLengthOrder[rank]], 3);
    const HuffmanTree& bl = e.bitLengthTree;
    auto send = [&out, &bl](int symbol, int extra, int extraBits) {
        BitWriterSend(out, bl.code[symbol], bl.length[symbol]);
        if (extraBits != 0)
            BitWriterSend(out, static_cast<uint32_t>(extra), extraBits);
    };
    WalkCodeLengthRuns(e.literalTree.length, e.literalTree.largestCode, send);
    WalkCodeLengthRuns(e.distanceTree.length, e.distanceTree.largestCode, send);
}

// Sends the buffered symbols and the end of block with the given codes.
void SendSymbols(DeflateEncoder& e, const uint16_t* literalCode, const uint8_t* literalLength,
                 const uint16_t* distanceCode, const uint8_t* distanceLength) {
    BitWriter& out = e.out;
    const DeflateTables& t = e.tables;
    uint32_t d = 0;
    unsigned flags = 0;
    for (uint32_t i = 0; i < e.symbolCount; i++) {
        if ((i & 7) == 0)
            flags = e.flags[i >> 3];
        unsigned value = e.literals[i];
        if ((flags & 1) == 0) {
            BitWriterSend(out, literalCode[value], literalLength[value]);
        } else {
            unsigned code = t.lengthCode[value];
            unsigned symbol = kFirstLengthSymbol + code;
            BitWriterSend(out, literalCode[symbol], literalLength[symbol]);
            if (kLengthExtraBits[code] != 0)
                BitWriterSend(out, value - t.baseLength[code], kLengthExtraBits[code]);
            unsigned distance = e.distances[d++];
            code = DistanceCodeOf(t, distance);
            BitWriterSend(out, distanceCode[code], distanceLength[code]);
            if (kDistanceExtraBits[code] != 0)
                BitWriterSend(out, distance - t.baseDistance[code], kDistanceExtraBits[code]);
        }
        flags >>= 1;
    }
    BitWriterSend(out, literalCode[kEndOfBlock], literalLength[kEndOfBlock]);
}

} // namespace

void EncoderPrepare(DeflateEncoder& e, uint8_t* output, uint32_t capacity) {
    BitWriterStart(e.out, output, capacity);
    e.totalBits = 0;
    if (e.tables.fixedDistanceLength[0] == 0)
        BuildDeflateTables(e.tables);
    StartDeflateBlock(e);
}

bool EncoderCheckCut(const DeflateEncoder& e, uint32_t scanned) {
    uint32_t out = e.symbolCount * 8;
    for (int code = 0; code < kDistanceCodes; code++)
        out += e.distanceTree.frequency[code] * (5 + kDistanceExtraBits[code]);
    return e.distanceCount < e.symbolCount / 2 && out / 8 < scanned / 2;
}

BlockType ChooseBlockType(uint32_t storedLength, int32_t optimalBits, int32_t fixedBits) {
    // Each coded form costs its 3 header bits and is padded to whole bytes.
    uint32_t codedBytes = static_cast<uint32_t>(optimalBits + 3 + 7) >> 3;
    uint32_t fixedBytes = static_cast<uint32_t>(fixedBits + 3 + 7) >> 3;
    if (fixedBytes <= codedBytes)
        codedBytes = fixedBytes;
    if (storedLength + 4 <= codedBytes) // 4 bytes of length and its complement
        return BlockType::Stored;
    return fixedBytes == codedBytes ? BlockType::Fixed : BlockType::Dynamic;
}

uint32_t EncoderCutBlock(DeflateEncoder& e, const uint8_t* bytes, uint32_t storedLength,
                         bool final) {
    e.flags[e.flagCount] = e.flagByte;

    TreeShape literalShape = kLiteralShape;
    literalShape.fixedLengths = e.tables.fixedLiteralLength;
    TreeShape distanceShape = kDistanceShape;
    distanceShape.fixedLengths = e.tables.fixedDistanceLength;
    BuildHuffmanTree(e.literalTree, literalShape, e.work, e.estimate);
    BuildHuffmanTree(e.distanceTree, distanceShape, e.work, e.estimate);
    BuildBitLengthTree(e);

    BlockType type = ChooseBlockType(storedLength, e.estimate.optimal, e.estimate.fixed);
    unsigned last = final ? 1 : 0;
    if (type == BlockType::Stored) {
        BitWriterSend(e.out, last, 3); // type 00: stored
        e.totalBits = ((e.totalBits + 3 + 7) & ~7u) + (storedLength + 4) * 8;
        BitWriterAlign(e.out);
        BitWriterSend(e.out, storedLength, 16);
        BitWriterSend(e.out, ~storedLength & 0xFFFF, 16);
        BitWriterCopy(e.out, bytes, storedLength);
    } else if (type == BlockType::Fixed) {
        BitWriterSend(e.out, 2 + last, 3); // type 01: fixed codes
        SendSymbols(e, e.tables.fixedLiteralCode, e.tables.fixedLiteralLength,
                    e.tables.fixedDistanceCode, e.tables.fixedDistanceLength);
        e.totalBits += 3 + static_cast<uint32_t>(e.estimate.fixed);
    } else {
        BitWriterSend(e.out, 4 + last, 3); // type 10: codes of this block
        SendTreeDescription(e);
        SendSymbols(e, e.literalTree.code, e.literalTree.length, e.distanceTree.code,
                    e.distanceTree.length);
        e.totalBits += 3 + static_cast<uint32_t>(e.estimate.optimal);
    }
    StartDeflateBlock(e);
    if (final) {
        BitWriterAlign(e.out);
        e.totalBits += 7;
    }
    return e.totalBits >> 3;
}

} // namespace velaset::compress

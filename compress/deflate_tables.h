// Fixed tables of the deflate format (RFC 1951): length and distance codes with their
// extra bits and bases, and the fixed Huffman codes. Built once per compressor.
#ifndef VELASET_COMPRESS_DEFLATE_TABLES_H
#define VELASET_COMPRESS_DEFLATE_TABLES_H

#include <cstdint>

namespace velaset::compress {

constexpr int kLengthCodes = 29;     // codes 257..285
constexpr int kLiteralSymbols = 286; // literal/length symbols in use
constexpr int kFixedLiteralSymbols = 288;
constexpr int kDistanceCodes = 30;
constexpr int kBitLengthSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;

extern const uint8_t kLengthExtraBits[kLengthCodes];
extern const uint8_t kDistanceExtraBits[kDistanceCodes];
extern const uint8_t kBitLengthExtraBits[kBitLengthSymbols];
// Order in which the bit-length code lengths are sent.
extern const uint8_t kBitLengthOrder[kBitLengthSymbols];

struct DeflateTables {
    uint8_t lengthCode[256];          // match length - 3 -> length code 0..28
    uint8_t baseLength[kLengthCodes]; // first match length - 3 of each code
    uint8_t distanceCode[512];        // distance - 1 below 256, else 256 + ((distance - 1) >> 7)
    uint16_t baseDistance[kDistanceCodes]; // first distance - 1 of each code
    uint8_t fixedLiteralLength[kFixedLiteralSymbols];
    uint16_t fixedLiteralCode[kFixedLiteralSymbols]; // bit-reversed, ready to send
    uint8_t fixedDistanceLength[kDistanceCodes];     // 0 until the tables are built
    uint16_t fixedDistanceCode[kDistanceCodes];
};

void BuildDeflateTables(DeflateTables& tables);

inline unsigned DistanceCodeOf(const DeflateTables& tables, unsigned distanceMinusOne) {
    return distanceMinusOne < 256 ? tables.distanceCode[distanceMinusOne]
                                  : tables.distanceCode[256 + (distanceMinusOne >> 7)];
}

// Reverses the lowest `count` bits of `code`: deflate sends codes most-significant bit
// first into a stream that is filled least-significant bit first.
inline uint16_t ReverseBits(unsigned code, int count) {
    unsigned result = 0;
    for (int i = 0; i < count; i++) {
        result = (result << 1) | (code & 1);
        code >>= 1;
    }
    return static_cast<uint16_t>(result);
}

// Canonical codes (RFC 1951, 3.2.2) for `symbols` code lengths, stored bit-reversed.
void AssignCanonicalCodes(const uint8_t* lengths, int symbols, const uint16_t* lengthCount,
                          int maxLength, uint16_t* codes);

} // namespace velaset::compress

#endif

// Fixed tables of the deflate format.
#include "compress/deflate_tables.h"

namespace velaset::compress {

const uint8_t kLengthExtraBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint8_t kDistanceExtraBits[kDistanceCodes] = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                    4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                    9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const uint8_t kBitLengthExtraBits[kBitLengthSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                        0, 0, 0, 0, 0, 0, 2, 3, 7};
const uint8_t kBitLengthOrder[kBitLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

void AssignCanonicalCodes(const uint8_t* lengths, int symbols, const uint16_t* lengthCount,
                          int maxLength, uint16_t* codes) {
    uint16_t next[16] = {};
    unsigned code = 0;
    for (int bits = 1; bits <= maxLength; bits++) {
        code = (code + lengthCount[bits - 1]) << 1;
        next[bits] = static_cast<uint16_t>(code);
    }
    for (int s = 0; s < symbols; s++) {
        int length = lengths[s];
        if (length != 0)
            codes[s] = ReverseBits(next[length]++, length);
    }
}

void BuildDeflateTables(DeflateTables& tables) {
    int length = 0;
    for (int code = 0; code < kLengthCodes - 1; code++) {
        tables.baseLength[code] = static_cast<uint8_t>(length);
        for (int n = 0; n < (1 << kLengthExtraBits[code]); n++)
            tables.lengthCode[length++] = static_cast<uint8_t>(code);
    }
    // Length 258 has a code of its own (285) rather than 284 with all extra bits set.
    tables.lengthCode[255] = kLengthCodes - 1;
    tables.baseLength[kLengthCodes - 1] = 255;

    int distance = 0;
    for (int code = 0; code < 16; code++) {
        tables.baseDistance[code] = static_cast<uint16_t>(distance);
        for (int n = 0; n < (1 << kDistanceExtraBits[code]); n++)
            tables.distanceCode[distance++] = static_cast<uint8_t>(code);
    }
    distance >>= 7;
    for (int code = 16; code < kDistanceCodes; code++) {
        tables.baseDistance[code] = static_cast<uint16_t>(distance << 7);
        for (int n = 0; n < (1 << (kDistanceExtraBits[code] - 7)); n++)
            tables.distanceCode[256 + distance++] = static_cast<uint8_t>(code);
    }
    tables.distanceCode[256] = tables.distanceCode[257] = 0; // never used

    uint16_t count[16] = {};
    for (int s = 0; s < kFixedLiteralSymbols; s++) {
        uint8_t bits = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        tables.fixedLiteralLength[s] = bits;
        count[bits]++;
    }
    AssignCanonicalCodes(tables.fixedLiteralLength, kFixedLiteralSymbols, count, 15,
                         tables.fixedLiteralCode);
    for (int s = 0; s < kDistanceCodes; s++) {
        tables.fixedDistanceLength[s] = 5;
        tables.fixedDistanceCode[s] = ReverseBits(s, 5);
    }
}

} // namespace velaset::compress

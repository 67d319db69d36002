// The checksum of cabinet data blocks.
#include "compress/cabinet_checksum.h"

#include "compress/cabinet_format.h"

namespace velaset::compress {

uint32_t CabChecksum(const uint8_t* bytes, uint32_t count, uint32_t seed) {
    uint32_t sum = seed;
    uint32_t words = count / 4;
    for (uint32_t i = 0; i < words; i++) {
        sum ^= Get32(bytes + 4 * i);
    }
    const uint8_t* rest = bytes + 4 * words;
    uint32_t last = 0;
    switch (count % 4) {
    case 3:
        last = (uint32_t(rest[0]) << 16) | (uint32_t(rest[1]) << 8) | rest[2];
        break;
    case 2:
        last = (uint32_t(rest[0]) << 8) | rest[1];
        break;
    case 1:
        last = rest[0];
        break;
    }
    return sum ^ last;
}

uint32_t DataBlockChecksum(const uint8_t* compressed, uint16_t cbData, uint16_t cbUncomp) {
    uint8_t sizes[4];
    Put16(sizes, cbData);
    Put16(sizes + 2, cbUncomp);
    return CabChecksum(sizes, 4, CabChecksum(compressed, cbData, 0));
}

} // namespace velaset::compress

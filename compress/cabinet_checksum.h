// The checksum of a cabinet data block.
#ifndef VELASET_COMPRESS_CABINET_CHECKSUM_H
#define VELASET_COMPRESS_CABINET_CHECKSUM_H

#include <cstdint>

namespace velaset::compress {

// XORs the seed with each whole 32-bit little-endian word of the bytes; the 1 to 3 bytes
// left over are folded in as one value (b0<<16 | b1<<8 | b2 for three, b0<<8 | b1 for
// two, b0 for one).
uint32_t CabChecksum(const uint8_t* bytes, uint32_t count, uint32_t seed);

// Checksum of a data block: the compressed bytes with seed 0, then the 4 header bytes that
// follow the checksum field (cbData, cbUncomp).
uint32_t DataBlockChecksum(const uint8_t* compressed, uint16_t cbData, uint16_t cbUncomp);

} // namespace velaset::compress

#endif

// How the main and length trees of a block travel: their path lengths as differences
// from the previous compressed block's, in pretree symbols with runs of zeros (17, 18)
// and of equal lengths (19), the pretree itself sent first as 20 lengths of 4 bits.
#ifndef VELASET_COMPRESS_LZX_TREES_H
#define VELASET_COMPRESS_LZX_TREES_H

#include <cstdint>

#include "compress/lzx_bit_writer.h"

namespace velaset::compress {

// Bits that sending lengths[0..count) against previous[0..count) costs, pretree included.
uint32_t LzxTreeBits(const uint8_t* lengths, const uint8_t* previous, int count);

// Sends them.
void LzxSendTree(LzxBitWriter& w, const uint8_t* lengths, const uint8_t* previous, int count);

} // namespace velaset::compress

#endif

// Huffman codes of the LZX trees: length-limited code lengths from symbol counts, and
// the canonical codes that follow from the lengths (shorter codes first, equal lengths
// in symbol order, as deflate assigns them).
#ifndef VELASET_COMPRESS_LZX_HUFFMAN_H
#define VELASET_COMPRESS_LZX_HUFFMAN_H

#include <cstdint>

namespace velaset::compress {

constexpr int kLzxMaxTreeSymbols = 656;

// Lengths of at most maxLength bits for symbols 0..count-1 from their frequencies. The
// code is always complete: a tree with one used symbol gets a second, unused code of
// length 1 beside it (decoders refuse a lone code); with no used symbol every length is 0.
void LzxCodeLengths(const uint32_t* frequency, int count, int maxLength, uint8_t* lengths);

// The canonical codes of the lengths; codes[s] is sent in lengths[s] bits, most
// significant first.
void LzxCanonicalCodes(const uint8_t* lengths, int count, uint16_t* codes);

} // namespace velaset::compress

#endif

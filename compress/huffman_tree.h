// Length-limited Huffman codes for one deflate block: the literal/length tree, the
// distance tree and the bit-length tree that describes the other two.
#ifndef VELASET_COMPRESS_HUFFMAN_TREE_H
#define VELASET_COMPRESS_HUFFMAN_TREE_H

#include <cstdint>

namespace velaset::compress {

constexpr int kMaxTreeSymbols = 286;
constexpr int kMaxTreeNodes = 2 * kMaxTreeSymbols + 1; // 573: symbols and inner nodes
constexpr int kMaxCodeLength = 15;

struct HuffmanTree {
    uint32_t frequency[kMaxTreeNodes]; // symbols first, then the inner nodes
    uint16_t parent[kMaxTreeNodes];
    uint8_t length[kMaxTreeNodes];  // code length of each symbol once built
    uint16_t code[kMaxTreeSymbols]; // bit-reversed codes
    int largestCode;                // largest symbol with a code
};

// What distinguishes the three trees.
struct TreeShape {
    int symbols;
    int maxLength;
    const uint8_t* extraBits; // extra bits of symbol s are extraBits[s - firstExtra]
    int firstExtra;
    const uint8_t* fixedLengths; // the fixed code's lengths, or null
};

// Scratch space shared by the three trees.
struct HuffmanWork {
    uint16_t heap[kMaxTreeNodes];
    uint8_t depth[kMaxTreeNodes];
    uint16_t lengthCount[kMaxCodeLength + 1];
};

// Block size estimates in bits: with this block's codes (tree description included)
// and with the fixed codes.
struct BlockEstimate {
    int32_t optimal;
    int32_t fixed;
};

// Builds codes of at most shape.maxLength bits from tree.frequency and adds the cost of
// the symbols under these codes and under the fixed ones to the estimate. A tree gets at
// least two codes, because a single code could not be decoded.
void BuildHuffmanTree(HuffmanTree& tree, const TreeShape& shape, HuffmanWork& work,
                      BlockEstimate& estimate);

} // namespace velaset::compress

#endif

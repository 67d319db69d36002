// Huffman construction with a binary heap, then a repair of the code lengths that came
// out longer than the limit, then canonical codes.
#include "compress/huffman_tree.h"

#include "compress/deflate_tables.h"

namespace velaset::compress {

namespace {

// Ties between equal frequencies go to the shallower subtree, which keeps codes short.
bool Smaller(const HuffmanTree& tree, const uint8_t* depth, int n, int m) {
    return tree.frequency[n] < tree.frequency[m] ||
           (tree.frequency[n] == tree.frequency[m] && depth[n] <= depth[m]);
}

// The heap is 1-based: heap[1] is the smallest node.
void SiftDown(const HuffmanTree& tree, HuffmanWork& work, int heapLength, int k) {
    int node = work.heap[k];
    int child = k << 1;
    while (child <= heapLength) {
        if (child < heapLength && Smaller(tree, work.depth, work.heap[child + 1], work.heap[child]))
            child++;
        if (Smaller(tree, work.depth, node, work.heap[child]))
            break;
        work.heap[k] = work.heap[child];
        k = child;
        child <<= 1;
    }
    work.heap[k] = static_cast<uint16_t>(node);
}

int ExtraBitsOf(const TreeShape& shape, int symbol) {
    return symbol >= shape.firstExtra ? shape.extraBits[symbol - shape.firstExtra] : 0;
}

// Gives every node its depth, cut to the limit, and counts the cuts. The nodes stand in
// heap[heapTop..kMaxTreeNodes-1] with every parent before its children.
int AssignLengths(HuffmanTree& tree, const TreeShape& shape, HuffmanWork& work, int heapTop,
                  BlockEstimate& estimate) {
    for (int bits = 0; bits <= kMaxCodeLength; bits++)
        work.lengthCount[bits] = 0;
    tree.length[work.heap[heapTop]] = 0; // the root
    int overflow = 0;
    for (int h = heapTop + 1; h < kMaxTreeNodes; h++) {
        int node = work.heap[h];
        int bits = tree.length[tree.parent[node]] + 1;
        if (bits > shape.maxLength) {
            bits = shape.maxLength;
            overflow++;
        }
        tree.length[node] = static_cast<uint8_t>(bits);
        if (node > tree.largestCode)
            continue; // an inner node
        work.lengthCount[bits]++;
        int32_t frequency = static_cast<int32_t>(tree.frequency[node]);
        int extra = ExtraBitsOf(shape, node);
        estimate.optimal += frequency * (bits + extra);
        if (shape.fixedLengths != nullptr)
            estimate.fixed += frequency * (shape.fixedLengths[node] + extra);
    }
    return overflow;
}

// Moves codes from the cut branches so that the lengths form a complete code again,
// then hands the lengths out anew: the longest to the least frequent symbols, which
// stand at the far end of the heap array.
void RepairOverflow(HuffmanTree& tree, const TreeShape& shape, HuffmanWork& work, int overflow,
                    BlockEstimate& estimate) {
    uint16_t* count = work.lengthCount;
    do {
        int bits = shape.maxLength - 1;
        while (count[bits] == 0)
            bits--;
        count[bits]--;            // a leaf becomes an inner node ...
        count[bits + 1] += 2;     // ... with two leaves below it,
        count[shape.maxLength]--; // one of them taken from the deepest level
        overflow -= 2;
    } while (overflow > 0);

    int h = kMaxTreeNodes;
    for (int bits = shape.maxLength; bits != 0; bits--) {
        int n = count[bits];
        while (n != 0) {
            int node = work.heap[--h];
            if (node > tree.largestCode)
                continue;
            if (tree.length[node] != bits) {
                estimate.optimal +=
                    (bits - tree.length[node]) * static_cast<int32_t>(tree.frequency[node]);
                tree.length[node] = static_cast<uint8_t>(bits);
            }
            n--;
        }
    }
}

} // namespace

void BuildHuffmanTree(HuffmanTree& tree, const TreeShape& shape, HuffmanWork& work,
                      BlockEstimate& estimate) {
    int heapLength = 0;
    int heapTop = kMaxTreeNodes;
    int largest = -1;
    for (int s = 0; s < shape.symbols; s++) {
        if (tree.frequency[s] != 0) {
            work.heap[++heapLength] = static_cast<uint16_t>(s);
            work.depth[s] = 0;
            largest = s;
        } else {
            tree.length[s] = 0;
        }
    }
    // Two codes at least; the added symbol is never sent, so its cost is taken back.
    while (heapLength < 2) {
        int node = largest < 2 ? ++largest : 0;
        work.heap[++heapLength] = static_cast<uint16_t>(node);
        tree.frequency[node] = 1;
        work.depth[node] = 0;
        estimate.optimal--;
        if (shape.fixedLengths != nullptr)
            estimate.fixed -= shape.fixedLengths[node];
    }
    tree.largestCode = largest;

    for (int k = heapLength / 2; k >= 1; k--)
        SiftDown(tree, work, heapLength, k);

    // Join the two smallest nodes until one is left; the removed nodes collect at the
    // top end of the heap array, each parent below its children.
    int next = shape.symbols;
    do {
        int n = work.heap[1];
        work.heap[1] = work.heap[heapLength--];
        SiftDown(tree, work, heapLength, 1);
        int m = work.heap[1];
        work.heap[--heapTop] = static_cast<uint16_t>(n);
        work.heap[--heapTop] = static_cast<uint16_t>(m);
        tree.frequency[next] = tree.frequency[n] + tree.frequency[m];
        uint8_t deeper = work.depth[n] >= work.depth[m] ? work.depth[n] : work.depth[m];
        work.depth[next] = static_cast<uint8_t>(deeper + 1);
        tree.parent[n] = tree.parent[m] = static_cast<uint16_t>(next);
        work.heap[1] = static_cast<uint16_t>(next++);
        SiftDown(tree, work, heapLength, 1);
    } while (heapLength >= 2);
    work.heap[--heapTop] = work.heap[1];

    int overflow = AssignLengths(tree, shape, work, heapTop, estimate);
    if (overflow > 0)
        RepairOverflow(tree, shape, work, overflow, estimate);
    AssignCanonicalCodes(tree.length, largest + 1, work.lengthCount, shape.maxLength, tree.code);
}

} // namespace velaset::compress

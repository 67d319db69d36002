// Length-limited Huffman code lengths and canonical codes for the LZX trees.
#include "compress/lzx_huffman.h"

#include <algorithm>
#include <cstring>

namespace velaset::compress {

namespace {

// Unlimited Huffman depths of the used symbols `order` (sorted by rising frequency),
// by merging two queues: the leaves and the inner nodes, made in rising weight.
void HuffmanDepths(const uint32_t* frequency, const uint16_t* order, int used, uint8_t* depth) {
    uint64_t weight[2 * kLzxMaxTreeSymbols];
    uint16_t parent[2 * kLzxMaxTreeSymbols];
    int leaf = 0, inner = used, made = used;
    auto take = [&]() {
        if (leaf < used && (inner == made || frequency[order[leaf]] <= weight[inner])) {
            weight[leaf] = frequency[order[leaf]];
            return leaf++;
        }
        return inner++;
    };
    while (made < 2 * used - 1) {
        int a = take();
        int b = take();
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<uint16_t>(made);
        made++;
    }
    uint16_t nodeDepth[2 * kLzxMaxTreeSymbols];
    nodeDepth[made - 1] = 0;
    for (int n = made - 2; n >= 0; n--)
        nodeDepth[n] = static_cast<uint16_t>(nodeDepth[parent[n]] + 1);
    for (int i = 0; i < used; i++)
        depth[i] = static_cast<uint8_t>(std::min<int>(nodeDepth[i], 255));
}

} // namespace

void LzxCodeLengths(const uint32_t* frequency, int count, int maxLength, uint8_t* lengths) {
    std::memset(lengths, 0, count);
    uint16_t order[kLzxMaxTreeSymbols];
    int used = 0;
    for (int s = 0; s < count; s++) {
        if (frequency[s] != 0)
            order[used++] = static_cast<uint16_t>(s);
    }
    if (used == 0)
        return;
    if (used == 1) {
        lengths[order[0]] = 1;
        lengths[order[0] == 0 ? 1 : 0] = 1;
        return;
    }
    std::stable_sort(order, order + used,
                     [frequency](uint16_t a, uint16_t b) { return frequency[a] < frequency[b]; });
    uint8_t depth[kLzxMaxTreeSymbols];
    HuffmanDepths(frequency, order, used, depth);
    // Too deep codes are cut to the limit; the code space they then overfill is won back
    // by lengthening the rarest symbols, and what is left over goes to the most frequent.
    const int64_t full = int64_t(1) << maxLength;
    int64_t kraft = 0;
    for (int i = 0; i < used; i++) {
        depth[i] = static_cast<uint8_t>(std::min<int>(depth[i], maxLength));
        kraft += int64_t(1) << (maxLength - depth[i]);
    }
    while (kraft > full) {
        for (int i = 0; i < used && kraft > full; i++) {
            if (depth[i] < maxLength) {
                kraft -= int64_t(1) << (maxLength - depth[i] - 1);
                depth[i]++;
            }
        }
    }
    for (int i = used - 1; i >= 0; i--) {
        while (depth[i] > 1 && kraft + (int64_t(1) << (maxLength - depth[i])) <= full) {
            kraft += int64_t(1) << (maxLength - depth[i]);
            depth[i]--;
        }
    }
    for (int i = 0; i < used; i++)
        lengths[order[i]] = depth[i];
}

void LzxCanonicalCodes(const uint8_t* lengths, int count, uint16_t* codes) {
    uint16_t perLength[33] = {};
    for (int s = 0; s < count; s++)
        perLength[lengths[s]]++;
    perLength[0] = 0;
    uint32_t next[33];
    uint32_t code = 0;
    for (int len = 1; len <= 32; len++) {
        code = (code + perLength[len - 1]) << 1;
        next[len] = code;
    }
    for (int s = 0; s < count; s++) {
        if (lengths[s] != 0)
            codes[s] = static_cast<uint16_t>(next[lengths[s]]++);
    }
}

} // namespace velaset::compress

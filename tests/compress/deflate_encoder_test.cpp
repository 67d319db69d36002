// Length-limited Huffman codes, on frequencies whose trees would be deeper than the
// limit without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "compress/deflate_encoder.h"

using namespace velaset::compress;

namespace {

std::vector<uint32_t> Fibonacci(int count) {
    std::vector<uint32_t> f = {1, 1};
    while (static_cast<int>(f.size()) < count)
        f.push_back(f[f.size() - 1] + f[f.size() - 2]);
    f.resize(count);
    return f;
}

struct TreeCase {
    const char* name;
    std::vector<uint32_t> frequencies;
    int maxLength;
};

} // namespace

TEST(HuffmanTree, CodesAreCompleteWithinTheLimitAndFavourFrequentSymbols) {
    std::vector<uint32_t> wide(286, 0);
    for (int s = 0; s < 286; s++)
        wide[s] = 1 + (s * 7919) % 200;
    std::vector<uint32_t> fib25 = Fibonacci(25);
    fib25.resize(286, 0);
    std::vector<uint32_t> fib12 = Fibonacci(12);
    fib12.resize(19, 0);
    const TreeCase cases[] = {
        {"none", std::vector<uint32_t>(30, 0), 15},
        {"only symbol 0", {5, 0, 0, 0}, 15},
        {"only symbol 9", {0, 0, 0, 0, 0, 0, 0, 0, 0, 9}, 15},
        {"two", {3, 0, 7}, 15},
        {"even", std::vector<uint32_t>(30, 4), 15},
        {"wide", wide, 15},
        {"fibonacci beyond 15 bits", fib25, 15},
        {"fibonacci beyond 7 bits", fib12, 7},
    };
    for (const TreeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<HuffmanTree> tree(new HuffmanTree());
        std::unique_ptr<HuffmanWork> work(new HuffmanWork());
        int symbols = static_cast<int>(c.frequencies.size());
        std::copy(c.frequencies.begin(), c.frequencies.end(), tree->frequency);
        static const uint8_t kNoExtra[286] = {};
        TreeShape shape = {symbols, c.maxLength, kNoExtra, 0, nullptr};
        BlockEstimate estimate = {0, 0};
        BuildHuffmanTree(*tree, shape, *work, estimate);

        // Complete code (Kraft sum exactly 1), at least two codes, none too long.
        uint64_t kraft = 0;
        int codes = 0;
        int32_t cost = 0;
        for (int s = 0; s < symbols; s++) {
            int length = tree->length[s];
            EXPECT_LE(length, c.maxLength) << s;
            if (length == 0) {
                EXPECT_EQ(c.frequencies[s], 0u) << s;
                continue;
            }
            codes++;
            kraft += uint64_t(1) << (c.maxLength - length);
            cost += static_cast<int32_t>(c.frequencies[s]) * length;
        }
        EXPECT_GE(codes, 2);
        EXPECT_EQ(kraft, uint64_t(1) << c.maxLength);
        EXPECT_EQ(estimate.optimal, cost);
        for (int s = 0; s < symbols; s++)
            for (int t = 0; t < symbols; t++)
                if (c.frequencies[s] > c.frequencies[t] && c.frequencies[t] > 0)
                    EXPECT_LE(tree->length[s], tree->length[t]) << s << " " << t;
    }
}

// The block encoder on its own: length-limited Huffman codes, and randomized symbol
// streams with Fibonacci-like frequencies, whose trees would be deeper than 15 bits
// without the length limit, written as real deflate blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "compress/deflate_encoder.h"
#include "tests/compress/deflate_structure.h"
#include "tests/compress/golden.h"
#include "tests/compress/test_data.h"
#ifndef _WIN32
#include "tests/compress/oracles.h"
#endif

using namespace mszip_test;
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

namespace {

// One deflate block's worth of symbols with Fibonacci-like frequencies over randomly
// chosen literals and distance codes, in random order, and the bytes they stand for.
struct SymbolStream {
    std::vector<DeflateSymbol> symbols;
    Bytes bytes;
};

SymbolStream MakeSymbolStream(uint64_t seed) {
    Rng rng(seed);
    std::vector<DeflateSymbol> pool;
    // Literals: 17 to 19 byte values weighted 1, 2, 3, 5, ..., which with the end of
    // block (frequency 1) make a Fibonacci sequence: the deepest tree there is.
    uint8_t values[256];
    for (int i = 0; i < 256; i++)
        values[i] = static_cast<uint8_t>(i);
    for (int i = 255; i > 0; i--)
        std::swap(values[i], values[rng.Below(i + 1)]);
    std::vector<uint32_t> weights = Fibonacci(18 + static_cast<int>(rng.Below(3)));
    weights.erase(weights.begin());
    for (size_t i = 0; i < weights.size(); i++)
        for (uint32_t n = 0; n < weights[i]; n++)
            pool.push_back({0, 0, values[i]});
    // Matches: 16 to 18 distance codes weighted 1, 1, 2, 3, ..., lengths 3 to 10.
    int codes[30];
    for (int i = 0; i < 30; i++)
        codes[i] = i;
    for (int i = 29; i > 0; i--)
        std::swap(codes[i], codes[rng.Below(i + 1)]);
    weights = Fibonacci(16 + static_cast<int>(rng.Below(3)));
    for (size_t i = 0; i < weights.size(); i++) {
        int code = codes[i];
        uint32_t span =
            code < 29 ? kDistanceBase[code + 1] - kDistanceBase[code] : 32768 - 24577 + 1;
        for (uint32_t n = 0; n < weights[i]; n++)
            pool.push_back({static_cast<uint16_t>(3 + rng.Below(8)),
                            static_cast<uint16_t>(kDistanceBase[code] + rng.Below(span)), 0});
    }
    for (size_t i = pool.size() - 1; i > 0; i--)
        std::swap(pool[i], pool[rng.Below(static_cast<uint32_t>(i + 1))]);

    // Matches that reach before the start wait until enough bytes stand before them.
    SymbolStream stream;
    std::vector<DeflateSymbol> waiting;
    auto place = [&stream](const DeflateSymbol& s) {
        if (s.length == 0) {
            stream.bytes.push_back(s.literal);
        } else {
            for (uint32_t i = 0; i < s.length; i++)
                stream.bytes.push_back(stream.bytes[stream.bytes.size() - s.distance]);
        }
        stream.symbols.push_back(s);
    };
    for (const DeflateSymbol& s : pool) {
        if (s.length != 0 && s.distance > stream.bytes.size())
            waiting.push_back(s);
        else
            place(s);
    }
    for (DeflateSymbol s : waiting) {
        if (s.distance > stream.bytes.size())
            s.distance = static_cast<uint16_t>(stream.bytes.size());
        place(s);
    }
    return stream;
}

Bytes EncodeFinalBlock(const SymbolStream& stream) {
    std::unique_ptr<uint8_t[]> literals(new uint8_t[kSymbolBufferSize]);
    std::unique_ptr<uint16_t[]> distances(new uint16_t[kDistanceBufferSize]);
    std::unique_ptr<DeflateEncoder> e(new DeflateEncoder());
    e->literals = literals.get();
    e->distances = distances.get();
    Bytes output(stream.bytes.size() + 64);
    EncoderPrepare(*e, output.data(), static_cast<uint32_t>(output.size()));
    for (const DeflateSymbol& s : stream.symbols) {
        if (s.length == 0)
            EncoderRecordLiteral(*e, s.literal, 0);
        else
            EncoderRecordMatch(*e, s.distance, s.length, 0);
    }
    uint32_t size =
        EncoderCutBlock(*e, stream.bytes.data(), static_cast<uint32_t>(stream.bytes.size()), true);
    EXPECT_FALSE(e->out.overflow);
    EXPECT_EQ(size, e->out.count); // the estimate counts every bit that was written
    output.resize(e->out.count);
    return output;
}

} // namespace

TEST(DeflateEncoderRandomized, DeepTreesAreLimitedAndTheBlocksDecode) {
    constexpr uint64_t kFirstSeed = 500;
    constexpr uint64_t kBlocks = 300;
    Digest digest;
    int limitedTrees = 0;
    for (uint64_t seed = kFirstSeed; seed < kFirstSeed + kBlocks; seed++) {
        SymbolStream stream = MakeSymbolStream(seed);
        ASSERT_LT(stream.symbols.size(), 32767u);
        Bytes block = EncodeFinalBlock(stream);
        digest.Add(block);

#ifndef _WIN32
        Bytes withSignature(2 + block.size());
        withSignature[0] = 'C';
        withSignature[1] = 'K';
        std::copy(block.begin(), block.end(), withSignature.begin() + 2);
        ASSERT_EQ(CheckWithLibdeflate(withSignature, stream.bytes), "") << seed;
#endif
        std::vector<DeflateBlock> blocks;
        ASSERT_EQ(ReadDeflateStructure(block.data(), block.size(), 0, blocks), "") << seed;
        ASSERT_EQ(blocks.size(), 1u);
        ASSERT_EQ(blocks[0].type, 2) << seed;
        int longest = 0;
        for (uint8_t length : blocks[0].literalLengths)
            longest = std::max<int>(longest, length);
        for (uint8_t length : blocks[0].distanceLengths)
            longest = std::max<int>(longest, length);
        limitedTrees += longest == 15;
    }
    // Fibonacci weights over 16 or more symbols need more than 15 bits unlimited.
    EXPECT_GT(limitedTrees, 280);
    EXPECT_EQ(CheckGoldenDigest("encoder-randomized", digest.Hex()), "");
}

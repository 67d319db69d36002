// The compressor's own worked cases: exact bytes of small blocks, and how it codes
// runs, incompressible data, history and the choice of block type.
#include <gtest/gtest.h>

#include <algorithm>

#include "compress/deflate_encoder.h"
#include "tests/compress/compressor_fixture.h"
#include "tests/compress/deflate_structure.h"

using namespace mszip_test;
using namespace velaset::compress;

namespace {

std::vector<DeflateBlock> Structure(const Bytes& block) {
    std::vector<DeflateBlock> blocks;
    EXPECT_GE(block.size(), 2u);
    EXPECT_EQ(block[0], 0x43);
    EXPECT_EQ(block[1], 0x4B);
    std::string error = ReadDeflateStructure(block.data() + 2, block.size() - 2, blocks);
    EXPECT_EQ(error, "");
    return blocks;
}

// Every pair of letters a..p once: 256 bytes over 16 letters, no 3-byte repeats.
Bytes SixteenLettersWithoutRepeats() {
    Bytes out;
    for (int a = 0; a < 16; a++) {
        out.push_back(static_cast<uint8_t>('a' + a));
        for (int b = a + 1; b < 16; b++) {
            out.push_back(static_cast<uint8_t>('a' + a));
            out.push_back(static_cast<uint8_t>('a' + b));
        }
    }
    return out;
}

} // namespace

TEST(MsZipWorkedCases, SmallFirstBlocksComeOutAsExpected) {
    const struct {
        const char* input;
        Bytes output;
    } cases[] = {
        // "CK", then a final block with the fixed codes: a, b, c, end of block.
        {"abc", {0x43, 0x4B, 0x4B, 0x4C, 0x4A, 0x06, 0x00}},
        // "CK", then a final block with the fixed codes holding only the end of block.
        {"", {0x43, 0x4B, 0x03, 0x00}},
        // 30 literals: with the fixed codes and with codes of its own, described in the
        // block, the deflate stream takes 32 bytes either way; the fixed codes are sent.
        {"setup successo e creato con un",
         {0x43, 0x4B, 0x2B, 0x4E, 0x2D, 0x29, 0x2D, 0x50, 0x28, 0x2E, 0x4D, 0x4E,
          0x4E, 0x2D, 0x2E, 0xCE, 0x57, 0x48, 0x55, 0x48, 0x2E, 0x4A, 0x4D, 0x2C,
          0xC9, 0x57, 0x48, 0xCE, 0xCF, 0x53, 0x28, 0xCD, 0x03, 0x00}},
    };
    for (const auto& c : cases) {
        TestCompressor compressor;
        Bytes input(c.input, c.input + std::strlen(c.input));
        EXPECT_EQ(compressor.Compress(input), c.output) << c.input;
    }
}

TEST(MsZipWorkedCases, FullBlockOfOneByteIsALiteral127LongestMatchesAndALiteral) {
    TestCompressor compressor;
    std::vector<DeflateBlock> blocks = Structure(compressor.Compress(Bytes(32768, 'x')));
    ASSERT_EQ(blocks.size(), 1u);
    const std::vector<DeflateSymbol>& s = blocks[0].symbols;
    ASSERT_EQ(s.size(), 129u);
    EXPECT_EQ(s.front().length, 0);
    EXPECT_EQ(s.front().literal, 'x');
    for (size_t i = 1; i <= 127; i++) {
        EXPECT_EQ(s[i].length, 258) << i;
        EXPECT_EQ(s[i].distance, 1) << i;
    }
    EXPECT_EQ(s.back().length, 0);
    EXPECT_EQ(s.back().literal, 'x');
}

TEST(MsZipWorkedCases, IncompressibleDataGoesStoredWithinTheMaximumOutput) {
    for (uint64_t seed = 1; seed <= 8; seed++) {
        TestCompressor compressor;
        Bytes output = compressor.Compress(MakeData(DataKind::Random, 32768, seed));
        EXPECT_LE(output.size(), 32780u);
        for (const DeflateBlock& b : Structure(output))
            EXPECT_EQ(b.type, 0) << seed;
    }
}

TEST(MsZipWorkedCases, BlockIsCutAfter32767Literals) {
    // No string of three bytes repeats, so every byte is a literal.
    for (uint64_t seed = 1; seed <= 6; seed++) {
        TestCompressor compressor;
        Bytes output = compressor.Compress(MakeData(DataKind::NoRepeats, 32768, seed));
        EXPECT_LE(output.size(), 32780u);
        std::vector<DeflateBlock> blocks = Structure(output);
        ASSERT_EQ(blocks.size(), 2u) << seed;
        const DeflateBlock& first = blocks[0];
        EXPECT_FALSE(first.final);
        if (first.type == 0) {
            EXPECT_EQ(first.storedLength, 32767u) << seed;
        } else {
            ASSERT_EQ(first.symbols.size(), 32767u) << seed;
            for (const DeflateSymbol& s : first.symbols)
                ASSERT_EQ(s.length, 0) << seed;
        }
        ASSERT_EQ(blocks[1].symbols.size(), 1u) << seed;
        EXPECT_EQ(blocks[1].symbols[0].length, 0);
    }
}

TEST(MsZipWorkedCases, BlockWithoutMatchesDescribesTwoDistanceCodes) {
    TestCompressor compressor;
    std::vector<DeflateBlock> blocks =
        Structure(compressor.Compress(SixteenLettersWithoutRepeats()));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].type, 2);
    EXPECT_EQ(blocks[0].symbols.size(), 256u);
    EXPECT_EQ(blocks[0].distanceLengths, (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(blocks[0].literalLengths.size(), 257u); // up to the end of block
    EXPECT_GE(blocks[0].bitLengthCount, 4);
}

TEST(MsZipWorkedCases, FarThreeByteRepeatStaysLiteral) {
    // "QZJ" again after 5000 bytes is not worth a match; after 50 bytes it is.
    for (size_t gap : {50, 5000}) {
        Bytes input = {'Q', 'Z', 'J'};
        Bytes filler = MakeData(DataKind::NoRepeats, gap, 7);
        for (uint8_t& b : filler)
            b = static_cast<uint8_t>('a' + b % 16); // no Q, Z or J
        input.insert(input.end(), filler.begin(), filler.end());
        input.insert(input.end(), {'Q', 'Z', 'J', '!'});
        TestCompressor compressor;
        bool matched = false;
        for (const DeflateBlock& b : Structure(compressor.Compress(input)))
            for (const DeflateSymbol& s : b.symbols)
                matched |= s.length == 3 && s.distance == gap + 3;
        EXPECT_EQ(matched, gap <= 4096) << gap;
    }
}

TEST(MsZipWorkedCases, OnlyABlockAfterAFullOneReachesBack) {
    Bytes first = MakeData(DataKind::Random, 32768, 11);
    // The second block repeats the first from byte 1000 on: 31768 bytes back.
    Bytes second(first.begin() + 1000, first.end());
    Bytes tail = MakeData(DataKind::Random, 1000, 12);
    second.insert(second.end(), tail.begin(), tail.end());

    TestCompressor compressor;
    compressor.Compress(first);
    Bytes withHistory = compressor.Compress(second);
    EXPECT_LT(withHistory.size(), 2000u);
    uint32_t farthest = 0;
    for (const DeflateBlock& b : Structure(withHistory))
        for (const DeflateSymbol& s : b.symbols)
            farthest = std::max<uint32_t>(farthest, s.distance);
    EXPECT_EQ(farthest, 31768u);

    // After a reset, and after a block shorter than 32768, the same block starts afresh.
    compressor.Compress(first);
    compressor.Reset();
    EXPECT_GT(compressor.Compress(second).size(), 32768u);
    compressor.Compress(Bytes(first.begin(), first.end() - 1));
    EXPECT_GT(compressor.Compress(second).size(), 32768u);
}

TEST(MsZipWorkedCases, StoredWinsTiesAndFixedCodesWinTiesWithDynamicOnes) {
    // Estimates in bits; each coded form adds 3 header bits and pads to whole bytes.
    const struct {
        uint32_t stored;
        int32_t optimal, fixed;
        BlockType type;
    } cases[] = {
        {10, 105, 200, BlockType::Stored},  // 14 bytes either way
        {11, 105, 200, BlockType::Dynamic}, // stored is one byte more
        {10, 300, 105, BlockType::Stored},  // ties with the fixed codes too
        {20, 105, 105, BlockType::Fixed},
        {20, 105, 109, BlockType::Fixed},   // still 14 bytes
        {20, 105, 110, BlockType::Dynamic}, // 15 bytes
        {20, 120, 105, BlockType::Fixed},
        {0, 7, 7, BlockType::Fixed}, // the empty block: 2 bytes against 4
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseBlockType(c.stored, c.optimal, c.fixed), c.type)
            << c.stored << " " << c.optimal << " " << c.fixed;
}

TEST(MsZipWorkedCases, MatchMayRunFromTheEndOfTheHistoryIntoTheBlock) {
    // The history ends with T (7 random bytes); the block starts with P = T "A" and 24
    // random bytes. Late in the (otherwise text) block, T P stands only at the history's
    // last 7 bytes followed by the block's start; a nearer T "Z" agrees in 7 bytes only.
    Bytes history = MakeData(DataKind::Random, 32768, 31);
    Bytes t(history.end() - 7, history.end());
    Bytes p = t;
    p.push_back('A');
    Bytes extra = MakeData(DataKind::Random, 24, 32);
    p.insert(p.end(), extra.begin(), extra.end());
    Bytes block = p;
    auto append = [&block](const Bytes& bytes) {
        block.insert(block.end(), bytes.begin(), bytes.end());
    };
    append(MakeData(DataKind::Text, 3000, 33));
    append(t);
    block.push_back('Z');
    append(MakeData(DataKind::Text, 500, 34));
    size_t at = block.size();
    append(t);
    append(p);
    append(MakeData(DataKind::Text, 800, 35));

    TestCompressor compressor;
    compressor.Compress(history);
    Bytes output = compressor.Compress(block);
    uint32_t expectedDistance = static_cast<uint32_t>(at + 7);
    bool found = false;
    for (const DeflateBlock& b : Structure(output)) {
        uint32_t position = b.firstByte;
        for (const DeflateSymbol& s : b.symbols) {
            if (s.length != 0 && position == at && s.distance == expectedDistance)
                found = s.length >= 7 + p.size();
            position += s.length == 0 ? 1 : s.length;
        }
    }
    EXPECT_TRUE(found);
}

TEST(MsZipWorkedCases, BytesBeyondAShortBlockDoNotChooseTheMatch) {
    // A short block after a full one: beyond its end the window still holds the earlier
    // block. The block ends with T, one byte less than the longest match; the history
    // holds T twice: near, then a byte that is not the one beyond the block's end, and
    // far, then exactly that byte. Both copies match all the bytes left; the nearer one
    // must be taken.
    const size_t tail = 257;
    Bytes history = MakeData(DataKind::Random, 32768, 41);
    Bytes block = MakeData(DataKind::Random, 400, 42);
    const Bytes t(block.end() - tail, block.end());
    const size_t farCopy = 1000, nearCopy = 20000;
    std::copy(t.begin(), t.end(), history.begin() + farCopy);
    std::copy(t.begin(), t.end(), history.begin() + nearCopy);
    history[farCopy + tail] = history[block.size()];
    history[nearCopy + tail] = static_cast<uint8_t>(~history[block.size()]);

    TestCompressor compressor;
    compressor.Compress(history);
    const std::vector<DeflateBlock> blocks = Structure(compressor.Compress(block));
    ASSERT_FALSE(blocks.empty());
    ASSERT_FALSE(blocks.back().symbols.empty());
    const DeflateSymbol& last = blocks.back().symbols.back();
    EXPECT_EQ(last.length, tail);
    EXPECT_EQ(last.distance, 32768 + block.size() - tail - nearCopy);
}

TEST(MsZipWorkedCases, BlockAfterResetEqualsTheSameBlockFromAFreshCompressor) {
    // The output of a package must not depend on what a compressor did before. Letters
    // a..p whose last bytes "ABCD" stand twice before: followed by "Q" (older) and by "R".
    // The "Q"s of an earlier block, still in the window beyond the block's end, must not
    // make the older match win.
    for (size_t size : {300, 700, 5000, 20000}) {
        Bytes block = MakeData(DataKind::Random, size, 3);
        for (uint8_t& b : block)
            b = static_cast<uint8_t>('a' + b % 16);
        const uint8_t older[] = {'A', 'B', 'C', 'D', 'Q'}, newer[] = {'A', 'B', 'C', 'D', 'R'};
        std::copy(older, older + 5, block.begin() + 100);
        std::copy(newer, newer + 5, block.begin() + 200);
        std::copy(older, older + 4, block.end() - 4);
        TestCompressor fresh, used;
        used.Compress(Bytes(32768, 'Q'));
        used.Reset();
        EXPECT_EQ(used.Compress(block), fresh.Compress(block)) << size;
    }
}

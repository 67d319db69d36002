// The match search visits at most 4096 candidates of a hash chain, newest first. Inputs
// whose only long match stands exactly at the 4096th candidate, or one further, show
// where the search stops: on the plain walk over the three-byte chain, on the walk over
// the five-byte index that takes over once a match of four bytes is held, and on the
// walk over the eight-byte index once it is seven bytes long.
#include <gtest/gtest.h>

#include "tests/compress/compressor_fixture.h"
#include "tests/compress/deflate_structure.h"

using namespace mszip_test;

namespace {

// The string to find: a prefix shared with every filler unit, then bytes that occur
// nowhere else, so that only its first occurrence gives a long match.
Bytes Target(const Bytes& prefix) {
    Bytes t = prefix;
    for (uint8_t b : {0xB1, 0xC7, 0x93, 0xE5, 0xA8, 0xF2, 0x8D, 0xD4, 0x99, 0xBE, 0xCA, 0x87, 0xEF,
                      0xA1, 0xDB, 0x95})
        t.push_back(b);
    return t;
}

struct ChainCase {
    Bytes input;
    size_t at;         // where the target stands the second time
    uint32_t distance; // back to its first occurrence
    size_t length;     // of the target
};

// target, then `units` times "XYZq" (each a candidate with the target's first three
// bytes), then `near` (a closer candidate, may be empty), "#", the target again and ".".
// The first occurrence is candidate number units + 1 (+1 with a near candidate).
ChainCase MakeCase(const Bytes& prefix, uint32_t units, const Bytes& near) {
    ChainCase c;
    Bytes target = Target(prefix);
    c.input = target;
    for (uint32_t u = 0; u < units; u++)
        c.input.insert(c.input.end(), {'X', 'Y', 'Z', 'q'});
    c.input.insert(c.input.end(), near.begin(), near.end());
    c.input.push_back('#');
    c.at = c.input.size();
    c.distance = static_cast<uint32_t>(c.at);
    c.length = target.size();
    c.input.insert(c.input.end(), target.begin(), target.end());
    c.input.push_back('.');
    return c;
}

// The symbol that starts at byte `at` of the block, as the decoder would place it.
DeflateSymbol SymbolAt(const Bytes& block, size_t at) {
    std::vector<DeflateBlock> blocks;
    EXPECT_EQ(ReadDeflateStructure(block.data() + 2, block.size() - 2, blocks), "");
    for (const DeflateBlock& b : blocks) {
        size_t position = b.firstByte;
        for (const DeflateSymbol& s : b.symbols) {
            if (position == at)
                return s;
            position += s.length == 0 ? 1 : s.length;
        }
    }
    ADD_FAILURE() << "no symbol starts at " << at;
    return DeflateSymbol{};
}

bool FindsTheFirstOccurrence(const ChainCase& c) {
    TestCompressor compressor;
    DeflateSymbol s = SymbolAt(compressor.Compress(c.input), c.at);
    return s.length == c.length && s.distance == c.distance;
}

} // namespace

TEST(MsZipChainBudget, EachWalkVisits4096CandidatesAndNoMore) {
    const struct {
        const char* walk;
        Bytes prefix, near;
        uint32_t lastUnitsFound;
    } cases[] = {
        // Every nearer candidate agrees in three bytes only.
        {"plain", {'X', 'Y', 'Z'}, {}, 4095},
        // The nearest candidate agrees in five bytes, or in seven: the search goes on over
        // the five- or eight-byte index, which must give up after the same 4096 candidates.
        {"five-byte", {'X', 'Y', 'Z', 'a', 'b'}, {'X', 'Y', 'Z', 'a', 'b', 'q'}, 4094},
        {"eight-byte",
         {'X', 'Y', 'Z', 'a', 'b', 'c', 'd'},
         {'X', 'Y', 'Z', 'a', 'b', 'c', 'd', 'q'},
         4094},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(FindsTheFirstOccurrence(MakeCase(c.prefix, c.lastUnitsFound, c.near)))
            << c.walk;
        EXPECT_FALSE(FindsTheFirstOccurrence(MakeCase(c.prefix, c.lastUnitsFound + 1, c.near)))
            << c.walk;
    }
}

// A compressor started in the middle of a folder (primed with the block before the
// start, after one more block of warm-up) gives the blocks that follow exactly as the
// compressor that compressed the whole folder, whenever MsZipSameHistory says the two
// agree; and it says so only then. The compressor of the whole folder is the oracle.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "compress/mszip.h"
#include "tests/compress/corpus.h"

using namespace mszip_test;
using namespace velaset::compress;

namespace {

// Folders of many full blocks: each kind, the kinds mixed, and the corpus's folders.
std::vector<Folder> ResumeCorpus() {
    std::vector<Folder> folders = FolderCorpus();
    for (DataKind kind : kAllKinds)
        folders.push_back(SplitIntoBlocks(KindName(kind), MakeData(kind, 12 * 32768 + 99, 41)));
    folders.push_back(SplitIntoBlocks("mixed-long", MakeData(DataKind::Mixed, 40 * 32768, 42)));
    return folders;
}

// A compressor started at block `start` of a folder: primed with the block `warm` + 1
// blocks before the start, then the `warm` blocks up to the start compressed.
struct Follower {
    std::unique_ptr<TestCompressor> compressor;
    size_t start;
    size_t warm;
    bool agreed; // the check's answer at the start
};

Follower Start(const Folder& folder, size_t start, size_t warm) {
    Follower f{std::unique_ptr<TestCompressor>(new TestCompressor()), start, warm, false};
    const Bytes& lead = folder.inputs[start - warm - 1];
    EXPECT_EQ(MsZipPrime(f.compressor->get(), lead.data(), static_cast<uint32_t>(lead.size())),
              MSZIP_OK);
    for (size_t b = start - warm; b < start; b++)
        f.compressor->Compress(folder.inputs[b]);
    return f;
}

struct Tally {
    size_t boundaries = 0;
    size_t agreed[3] = {0, 0, 0}; // by blocks of warm-up
};

// Every boundary of every folder, resumed with 0, 1 and 2 blocks of warm-up. A resumed
// compressor that the check lets go on follows the oracle for three blocks: the same
// output, and the check agreeing again after each full block.
Tally ResumeEverywhere(const std::vector<Folder>& folders) {
    Tally t;
    for (const Folder& folder : folders) {
        TestCompressor oracle;
        std::vector<Follower> followers;
        for (size_t b = 0; b < folder.inputs.size(); b++) {
            if (b >= 3 && folder.inputs[b - 1].size() == 32768) {
                t.boundaries++;
                for (size_t warm = 0; warm <= 2; warm++) {
                    Follower f = Start(folder, b, warm);
                    f.agreed = MsZipSameHistory(oracle.get(), f.compressor->get());
                    t.agreed[warm] += f.agreed;
                    if (f.agreed)
                        followers.push_back(std::move(f));
                }
            }
            const Bytes& input = folder.inputs[b];
            Bytes expected = oracle.Compress(input);
            for (Follower& f : followers) {
                SCOPED_TRACE(folder.name + " from block " + std::to_string(f.start) + ", warm-up " +
                             std::to_string(f.warm) + ", block " + std::to_string(b));
                EXPECT_EQ(f.compressor->Compress(input), expected);
                if (input.size() == 32768)
                    EXPECT_TRUE(MsZipSameHistory(oracle.get(), f.compressor->get()));
            }
            followers.erase(std::remove_if(followers.begin(), followers.end(),
                                           [b](const Follower& f) { return b >= f.start + 2; }),
                            followers.end());
        }
    }
    return t;
}

} // namespace

TEST(MsZipResume, AgreedStartsGiveTheOracleBytesOnEveryBoundaryOfTheCorpus) {
    Tally t = ResumeEverywhere(ResumeCorpus());
    EXPECT_GT(t.boundaries, 150u);
    // Priming alone never finds the oracle's chains: links of the block before the start
    // were copied from positions that only the blocks before it explain. Two blocks of
    // warm-up find them nearly everywhere.
    EXPECT_EQ(t.agreed[0], 0u);
    EXPECT_GT(t.agreed[1], t.boundaries * 3 / 4);
    EXPECT_GE(t.agreed[2], t.boundaries * 97 / 100);
}

TEST(MsZipResume, PrimingMissesOnlyWhereTheLastMatchRunsIntoTheLastTwoBytes) {
    // After a folder's first block the chains hold that block alone. Text that ends in
    // three bytes found nowhere else: every position with three bytes ahead entered the
    // chains, as priming enters them. The same text ending in a copy of its first 40
    // bytes: the last match runs to the end, the positions it covers stay out of the
    // chains and priming puts them in. A next block that starts with the copy's last three
    // bytes finds them (at position 65533) 3 bytes back after priming, and nowhere within
    // reach after the real first block.
    Bytes text = MakeData(DataKind::Text, 32768, 61);
    Bytes plain(text.begin(), text.end() - 3);
    plain.insert(plain.end(), {0x01, 0x02, 0x03});
    Bytes runsIn(text.begin(), text.end() - 40);
    runsIn.insert(runsIn.end(), text.begin(), text.begin() + 40);
    Bytes next(text.begin() + 37, text.end());
    for (const Bytes* first : {&plain, &runsIn}) {
        bool isPlain = first == &plain;
        SCOPED_TRACE(isPlain ? "plain end" : "match to the end");
        TestCompressor oracle, primed;
        oracle.Compress(*first);
        ASSERT_EQ(MsZipPrime(primed.get(), first->data(), 32768), MSZIP_OK);
        EXPECT_EQ(MsZipSameHistory(oracle.get(), primed.get()), isPlain);
        EXPECT_EQ(oracle.Compress(next) == primed.Compress(next), isPlain);
    }
}

TEST(MsZipResume, CheckSaysNoForOtherBytesOrNoHistory) {
    Bytes a = MakeData(DataKind::Text, 32768, 51), b = a;
    b[32767] ^= 1; // one byte apart: the last one, which enters no chain
    TestCompressor x, y, z, fresh;
    x.Compress(a);
    y.Compress(b);
    EXPECT_FALSE(MsZipSameHistory(x.get(), y.get()));
    EXPECT_FALSE(MsZipSameHistory(x.get(), fresh.get()));
    z.Compress(a);
    EXPECT_TRUE(MsZipSameHistory(x.get(), z.get()));
    z.Compress(Bytes(a.begin(), a.end() - 1)); // a short block ends the history
    EXPECT_FALSE(MsZipSameHistory(z.get(), z.get()));
    EXPECT_EQ(MsZipPrime(fresh.get(), a.data(), 32767), MSZIP_BAD_CALL);
}

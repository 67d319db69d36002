// Every corpus through the compressor, block by block: each block keeps the properties
// every MSZIP block must have, and its digest matches the one recorded natively (the same
// output on every platform). Natively each block is also decoded by libdeflate (after
// its history when it has one).
#include <gtest/gtest.h>

#include <functional>

#include "tests/compress/corpus.h"
#include "tests/compress/golden.h"
#ifndef _WIN32
#include "tests/compress/oracles.h"
#endif

using namespace mszip_test;
using namespace velaset::compress;

namespace {

std::vector<Folder> OneBlockEach(const std::vector<Bytes>& blocks) {
    std::vector<Folder> folders;
    for (const Bytes& block : blocks)
        folders.push_back({"block of " + std::to_string(block.size()), {block}});
    return folders;
}

std::vector<Folder> FirstBlocks() {
    std::vector<Bytes> blocks;
    for (DataKind kind : kAllKinds)
        for (size_t size : EdgeSizes())
            blocks.push_back(MakeData(kind, size, size));
    return OneBlockEach(blocks);
}

std::vector<Folder> SizesAcrossTheRange() {
    std::vector<Bytes> blocks;
    for (size_t size = 0; size <= 32768; size += 61)
        blocks.push_back(MakeData(DataKind::Mixed, size, size));
    return OneBlockEach(blocks);
}

std::vector<Folder> RandomFolders() {
    // Block sizes and kinds mixed, skewed data often: the Huffman length limiting and its
    // repair run many times over about 2400 blocks.
    std::vector<Folder> folders;
    for (uint64_t seed = 1000; seed < 1700; seed++)
        folders.push_back(RandomFolder(seed));
    return folders;
}

std::vector<Folder> LargeMixed() {
    // The corpus on which the compressor's speed is tuned: 4 MiB of every kind.
    std::vector<Folder> folders;
    for (uint64_t part = 0; part < 16; part++) {
        DataKind kind = part % 2 == 0 ? DataKind::Mixed : kAllKinds[part / 2];
        folders.push_back(SplitIntoBlocks("large", MakeData(kind, 262144, part)));
    }
    return folders;
}

#ifndef _WIN32
std::vector<Folder> TheTestProgram() {
    Bytes program;
    EXPECT_TRUE(ReadFile("/proc/self/exe", program));
    return {SplitIntoBlocks("program", program)};
}
#endif

struct Corpus {
    const char* golden; // name of the recorded digest, or nullptr
    std::function<std::vector<Folder>()> folders;
};

const Corpus kCorpora[] = {
    {"first-blocks", FirstBlocks}, {"folders", FolderCorpus},      {"randomized", RandomFolders},
    {"large-mixed", LargeMixed},   {nullptr, SizesAcrossTheRange},
#ifndef _WIN32
    {nullptr, TheTestProgram},
#endif
};

class MsZipRoundTrip : public testing::TestWithParam<Corpus> {};

} // namespace

TEST_P(MsZipRoundTrip, BlocksKeepTheirPropertiesDecodeAndMatchTheRecordedOutput) {
    TestCompressor compressor;
    Digest digest;
    for (const Folder& folder : GetParam().folders()) {
        for (size_t b = 0; b < folder.inputs.size(); b++) {
            const Bytes& input = folder.inputs[b];
            Bytes block = compressor.Compress(input);
            std::string where = folder.name + " block " + std::to_string(b);
            ASSERT_EQ(compressor.lastResult(), MSZIP_OK) << where;
            digest.Add(block);
            ASSERT_EQ(CheckBlockProperties(input, block), "") << where;
#ifndef _WIN32
            bool history = b > 0 && folder.inputs[b - 1].size() == 32768;
            ASSERT_EQ(CheckWithLibdeflate(block, input, history ? folder.inputs[b - 1] : Bytes()),
                      "")
                << where;
#endif
        }
        compressor.Reset();
    }
    if (GetParam().golden != nullptr)
        EXPECT_EQ(CheckGoldenDigest(GetParam().golden, digest.Hex()), "");
}

INSTANTIATE_TEST_SUITE_P(Corpora, MsZipRoundTrip, testing::ValuesIn(kCorpora));

// Randomized folders with fixed seeds: block sizes and data kinds mixed, skewed data
// often, so that the Huffman length limiting and its repair run many times. Natively
// every block goes through libdeflate and the whole lot through cabextract; on every
// platform the output digest must match the recorded one.
#include <gtest/gtest.h>

#include "tests/compress/corpus.h"
#include "tests/compress/golden.h"
#ifndef _WIN32
#include "tests/compress/oracles.h"
#endif

using namespace mszip_test;
using namespace velaset::compress;

TEST(MsZipRandomized, RandomFoldersDecompressAndMatchTheRecordedOutput) {
    constexpr uint64_t kFirstSeed = 1000;
    constexpr uint64_t kFolders = 700; // about 2400 blocks
    TestCompressor compressor;
    Digest digest;
    size_t blockCount = 0;
#ifndef _WIN32
    std::vector<CabinetFolder> cabinet;
#endif
    for (uint64_t seed = kFirstSeed; seed < kFirstSeed + kFolders; seed++) {
        Folder folder = RandomFolder(seed);
        bool history = false;
#ifndef _WIN32
        CabinetFolder made;
#endif
        for (size_t b = 0; b < folder.inputs.size(); b++) {
            const Bytes& input = folder.inputs[b];
            Bytes block = compressor.Compress(input);
            ASSERT_EQ(compressor.lastResult(), MSZIP_OK) << folder.name << " block " << b;
            digest.Add(block);
            blockCount++;
#ifndef _WIN32
            std::string error = history
                                    ? CheckWithLibdeflateAfter(folder.inputs[b - 1], block, input)
                                    : CheckWithLibdeflate(block, input);
            ASSERT_EQ(error, "") << folder.name << " block " << b;
            made.blocks.push_back(block);
            made.blockSizes.push_back(static_cast<uint32_t>(input.size()));
            made.data.insert(made.data.end(), input.begin(), input.end());
#endif
            ASSERT_EQ(CheckBlockProperties(input, block, history), "")
                << folder.name << " block " << b;
            history = input.size() == 32768;
        }
        compressor.Reset();
#ifndef _WIN32
        cabinet.push_back(made);
#endif
    }
    EXPECT_GT(blockCount, 2000u);
#ifndef _WIN32
    EXPECT_EQ(CheckWithCabextract(cabinet), "");
#endif
    if (UpdatingGolden())
        RecordGoldenDigest("randomized", digest.Hex());
    else
        EXPECT_EQ(digest.Hex(), GoldenDigest("randomized"));
}

// Round trips through independent decoders: libdeflate for every block without
// history, cabextract for whole folders with history. Native build only.
#include <gtest/gtest.h>

#include "tests/compress/corpus.h"
#include "tests/compress/oracles.h"

using namespace mszip_test;
using namespace velaset::compress;

namespace {

CabinetFolder CompressFolder(TestCompressor& compressor, const Folder& folder) {
    CabinetFolder out;
    for (const Bytes& input : folder.inputs) {
        out.blocks.push_back(compressor.Compress(input));
        out.blockSizes.push_back(static_cast<uint32_t>(input.size()));
        out.data.insert(out.data.end(), input.begin(), input.end());
    }
    compressor.Reset();
    return out;
}

void ExpectFirstBlockRoundTrip(TestCompressor& compressor, const Bytes& input,
                               const std::string& what) {
    compressor.Reset();
    Bytes block = compressor.Compress(input);
    ASSERT_EQ(compressor.lastResult(), MSZIP_OK) << what;
    EXPECT_EQ(CheckWithLibdeflate(block, input), "") << what;
    EXPECT_EQ(CheckBlockProperties(input, block, false), "") << what;
}

} // namespace

TEST(MsZipRoundTrip, FirstBlocksOfEveryKindAndEdgeSizeDecompressToTheirInput) {
    TestCompressor compressor;
    for (DataKind kind : kAllKinds)
        for (size_t size : EdgeSizes())
            ExpectFirstBlockRoundTrip(compressor, MakeData(kind, size, size),
                                      std::string(KindName(kind)) + " " + std::to_string(size));
}

TEST(MsZipRoundTrip, BlocksOfSizesAcrossTheWholeRangeDecompressToTheirInput) {
    TestCompressor compressor;
    for (size_t size = 0; size <= 32768; size += 61)
        ExpectFirstBlockRoundTrip(compressor, MakeData(DataKind::Mixed, size, size),
                                  "mixed " + std::to_string(size));
}

TEST(MsZipRoundTrip, TheTestProgramItselfDecompressesBlockByBlockAndAsAFolder) {
    Bytes program;
    ASSERT_TRUE(ReadFile("/proc/self/exe", program));
    Folder folder = SplitIntoBlocks("program", program);
    TestCompressor compressor;
    for (const Bytes& input : folder.inputs)
        ExpectFirstBlockRoundTrip(compressor, input, "program block");
    EXPECT_EQ(CheckWithCabextract({CompressFolder(compressor, folder)}), "");
}

TEST(MsZipRoundTrip, FoldersWithHistoryExtractWithCabextract) {
    TestCompressor compressor;
    std::vector<CabinetFolder> cabinet;
    for (const Folder& folder : FolderCorpus()) {
        cabinet.push_back(CompressFolder(compressor, folder));
        const CabinetFolder& made = cabinet.back();
        for (size_t b = 0; b < made.blocks.size(); b++) {
            Bytes input = folder.inputs[b];
            EXPECT_EQ(CheckBlockProperties(input, made.blocks[b], b > 0), "")
                << folder.name << " block " << b;
            if (b > 0)
                EXPECT_EQ(CheckWithLibdeflateAfter(folder.inputs[b - 1], made.blocks[b], input), "")
                    << folder.name << " block " << b;
        }
    }
    EXPECT_EQ(CheckWithCabextract(cabinet), "");
}

TEST(MsZipRoundTrip, CabextractNoticesABrokenBlock) {
    // The oracle itself: one flipped bit in a coded block must not go through.
    TestCompressor compressor;
    CabinetFolder folder =
        CompressFolder(compressor, SplitIntoBlocks("text", MakeData(DataKind::Text, 70000, 5)));
    folder.blocks[1][folder.blocks[1].size() / 2] ^= 0x10;
    EXPECT_NE(CheckWithCabextract({folder}), "");
}

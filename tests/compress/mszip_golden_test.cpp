// The same output on every platform: digests of the output over the test corpus,
// recorded from the native build, checked natively and in the Win32 build.
#include <gtest/gtest.h>

#include "tests/compress/corpus.h"
#include "tests/compress/golden.h"

using namespace mszip_test;

namespace {

void ExpectGolden(const std::string& name, const Digest& digest) {
    if (UpdatingGolden()) {
        RecordGoldenDigest(name, digest.Hex());
        return;
    }
    EXPECT_EQ(digest.Hex(), GoldenDigest(name)) << name;
}

} // namespace

TEST(MsZipGolden, FirstBlocksAreTheSameOnEveryPlatform) {
    TestCompressor compressor;
    Digest digest;
    for (DataKind kind : kAllKinds) {
        for (size_t size : EdgeSizes()) {
            compressor.Reset();
            digest.Add(compressor.Compress(MakeData(kind, size, size)));
        }
    }
    ExpectGolden("first-blocks", digest);
}

TEST(MsZipGolden, FoldersWithHistoryAreTheSameOnEveryPlatform) {
    TestCompressor compressor;
    Digest digest;
    for (const Folder& folder : FolderCorpus()) {
        for (const Bytes& input : folder.inputs)
            digest.Add(compressor.Compress(input));
        compressor.Reset();
    }
    ExpectGolden("folders", digest);
}

TEST(MsZipGolden, LargeMixedCorpusIsTheSameOnEveryPlatform) {
    // The corpus on which the compressor's speed is tuned: 4 MiB of every kind.
    TestCompressor compressor;
    Digest digest;
    for (uint64_t part = 0; part < 16; part++) {
        DataKind kind = part % 2 == 0 ? DataKind::Mixed : kAllKinds[part / 2];
        for (const Bytes& input : SplitIntoBlocks("", MakeData(kind, 262144, part)).inputs)
            digest.Add(compressor.Compress(input));
        compressor.Reset();
    }
    ExpectGolden("large-mixed", digest);
}

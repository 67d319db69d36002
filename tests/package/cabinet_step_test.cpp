#include "builder/package/cabinet_step.h"

#include <gtest/gtest.h>

#include "builder/package/comprimi_binding.h"
#include "builder/package/package_times.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/file_times.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

#ifndef _WIN32 // the library linked in; the Windows programs load Compress.dll instead
std::uint16_t HeaderField(const std::string& cabinet, std::size_t offset) {
    return cabinet.size() < offset + 2
               ? 0
               : static_cast<std::uint16_t>(static_cast<unsigned char>(cabinet[offset]) |
                                            static_cast<unsigned char>(cabinet[offset + 1]) << 8);
}

// Paths with the "|" and "+" that the exports' list would split at are taken as they are.
TEST(LinkedComprimi, FoldersEndWhereTheEntriesSay) {
    velaset_test::ScratchFolder folder;
    const std::vector<std::string> files = {folder.Path("uno|a.txt"), folder.Path("due+b.txt")};
    const std::string script = folder.Path("setup.inf");
    for (const std::string& path : {files[0], files[1], script})
        ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(path, path + " testo"));
    ComprimiFunction comprimi;
    ASSERT_TRUE(BindComprimi(&comprimi).ok);
    const struct {
        Compression compression;
        std::uint16_t folders;
    } cases[] = {{Compression::MsZip, 3}, {Compression::Lzx, 2}};
    for (const auto& c : cases) {
        const std::string cabDir = folder.Path(std::to_string(c.folders)) + "/";
        ASSERT_TRUE(platform::MakeDirectory(cabDir).ok);
        std::uint64_t told = 0;
        ASSERT_EQ(CreaCab(comprimi, cabDir, CabinetEntries(files, "", script, c.compression),
                          c.compression,
                          [&told](std::uint32_t bytes) { return (told += bytes, true); }),
                  1);
        const std::string cabinet = velaset_test::ScratchFolder::ReadFile(CabinetPath(cabDir, 1));
        EXPECT_EQ(HeaderField(cabinet, 26), c.folders);
        EXPECT_EQ(HeaderField(cabinet, 28), 3) << "files";
        EXPECT_GE(told, 3 * script.size());
    }
}
#endif

TEST(SourceDateEpoch, AcceptsOnlyWholeSeconds) {
    EXPECT_EQ(SourceDateEpoch("1700000000"), std::optional<std::int64_t>(1700000000));
    EXPECT_EQ(SourceDateEpoch("0"), std::optional<std::int64_t>(0));
    for (const char* bad : {"", "-5", "12x", "1.5", " 7"})
        EXPECT_EQ(SourceDateEpoch(bad), std::nullopt) << bad;
    EXPECT_EQ(SourceDateEpoch(nullptr), std::nullopt);
}

TEST(PackageTime, IsTheNewestFileTimeClampedToSourceDateEpoch) {
    velaset_test::ScratchFolder folder;
    const std::string older = folder.Path("a.txt"), newer = folder.Path("b.txt");
    ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(older, "a"));
    ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(newer, "b"));
    ASSERT_TRUE(platform::WriteFileTime(older, 1500000000).ok);
    ASSERT_TRUE(platform::WriteFileTime(newer, 1600000000).ok);
    const std::vector<std::string> files = {older, newer, folder.Path("missing.txt")};

    EXPECT_EQ(PackageTime(files, std::nullopt), 1600000000);
    EXPECT_EQ(PackageTime(files, 1550000000), 1550000000);
    EXPECT_EQ(PackageTime(files, 1700000000), 1600000000);
    EXPECT_EQ(PackageTime({}, std::nullopt), kEmptyProjectTime);
    EXPECT_EQ(PackageTime({}, 100), 100);
}

} // namespace
} // namespace velaset

#include "builder/package/cabinet_step.h"

#include <gtest/gtest.h>

#include "builder/package/package_times.h"
#include "common/constants.h"
#include "platform/file_times.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

TEST(CreaCab, CallsComprimiWithTheBuildersArgumentsAndKeepsTheLow16Bits) {
    for (int answer : {1, 0, 0x10000, 0x10001}) {
        std::string dir, base, list;
        std::uint32_t limit = 0;
        bool told = false;
        ComprimiFunction fake = [&](const std::string& d, const std::string& b,
                                    const std::string& l, std::uint32_t m, std::uint32_t,
                                    const CabinetProgress& progress) {
            dir = d, base = b, list = l, limit = m;
            told = progress(7);
            return answer;
        };
        EXPECT_EQ(CreaCab(fake, "C:\\T\\b\\", "A+B", Compression::MsZip,
                          [](std::uint32_t bytes) { return bytes == 7; }),
                  answer & 0xFFFF);
        EXPECT_TRUE(told) << "the progress reaches the library";
        EXPECT_EQ(dir, "C:\\T\\b\\");
        EXPECT_EQ(base, "setup");
        EXPECT_EQ(list, "A+B");
        EXPECT_EQ(limit, 145000000u);
    }
}

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

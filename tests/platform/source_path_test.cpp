#include <gtest/gtest.h>

#include "platform/folders.h"
#include "platform/source_path.h"

namespace {

// Written with "|" for the separator of the platform under test.
std::string P(std::string text) {
    for (char& c : text) {
        if (c == '|')
            c = platform::SourceSeparator();
    }
    return text;
}

TEST(SourcePath, SplitsAndJoinsWithThePlatformSeparator) {
    EXPECT_EQ(platform::SourceFileName(P("|src|app.exe")), "app.exe");
    EXPECT_EQ(platform::SourceFileName("app.exe"), "app.exe");
    EXPECT_EQ(platform::SourceFileName(P("|src|")), "");
    EXPECT_EQ(platform::SourceFolderPart(P("|src|app.exe")), P("|src|"));
    EXPECT_EQ(platform::SourceFolderPart("app.exe"), "");
    EXPECT_EQ(platform::JoinSourcePath(P("|src"), "a.txt"), P("|src|a.txt"));
    EXPECT_EQ(platform::JoinSourcePath(P("|src|"), "a.txt"), P("|src|a.txt"));
    EXPECT_EQ(platform::WithoutTrailingSeparator(P("|src|")), P("|src"));
}

// "." and ".." go and doubled separators drop, by the text alone, as Windows does.
TEST(SourcePath, EverySpellingOfAPathGivesOneAbsolutePath) {
    const std::string plain = platform::AbsoluteSourcePath(P("dist|Mio.exe"));
    EXPECT_EQ(platform::SourceFileName(plain), "Mio.exe");
    EXPECT_NE(plain.find(P("|dist|Mio.exe")), std::string::npos) << plain;
    EXPECT_NE(plain.substr(0, 4), "dist") << plain;
    for (const char* spelling : {"dist|.|Mio.exe", "dist||Mio.exe", "altro|..|dist|Mio.exe",
                                 ".|dist|Mio.exe", "dist|sub|..|.|Mio.exe"})
        EXPECT_EQ(platform::AbsoluteSourcePath(P(spelling)), plain) << spelling;
    EXPECT_EQ(platform::AbsoluteSourcePath(plain), plain);
}

TEST(Folders, HaveTheirDefinedEnds) {
    std::string temp = platform::TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_NE(temp.back(), platform::SourceSeparator());
    std::string system = platform::SystemFolder();
    ASSERT_FALSE(system.empty());
    EXPECT_EQ(system.back(), platform::SourceSeparator());
    std::string app = platform::ApplicationFolder();
    ASSERT_FALSE(app.empty());
    EXPECT_NE(app.back(), platform::SourceSeparator());
}

} // namespace

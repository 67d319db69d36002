#include <gtest/gtest.h>

#include "builder/project/short_name_clash.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::FileEntry;
using velaset_test::ScratchFolder;

TEST(ShortNameClash, FindsTheSameShortNameInAnotherFolder) {
    ScratchFolder scratch;
    scratch.MakeFolder("A");
    scratch.MakeFolder("B");
    std::string a = scratch.WriteFile(platform::JoinSourcePath("A", "Documento lungo.txt"), "a");
    std::string b = scratch.WriteFile(platform::JoinSourcePath("B", "Documento lungo.txt"), "b");
    std::string other = scratch.WriteFile(platform::JoinSourcePath("B", "altro.txt"), "c");
    std::vector<FileEntry> files = {{other, "D"}, {a, "D"}};
    std::string clashing;
    EXPECT_TRUE(velaset::ShortNameClash(b, files, &clashing));
    EXPECT_EQ(clashing, a);
    EXPECT_FALSE(velaset::ShortNameClash(other, {{a, "D"}}, nullptr));
}

TEST(ShortNameClash, ComparesShortNamesInUpperCase) {
    ScratchFolder scratch;
    scratch.MakeFolder("A");
    scratch.MakeFolder("B");
    std::string lower = scratch.WriteFile(platform::JoinSourcePath("A", "readme.txt"), "a");
    std::string upper = scratch.WriteFile(platform::JoinSourcePath("B", "README.TXT"), "b");
    EXPECT_TRUE(velaset::ShortNameClash(upper, {{lower, "D"}}));
}

TEST(ShortNameClash, FilesOfOneFolderNeverClash) {
    ScratchFolder scratch;
    std::string largo = scratch.WriteFile("Documento largo.txt", "1");
    std::string lungo = scratch.WriteFile("Documento lungo.txt", "2");
    EXPECT_FALSE(velaset::ShortNameClash(lungo, {{largo, "D"}}));
}

TEST(ShortNameClash, TwoMissingFilesClashWithEachOtherOnly) {
    ScratchFolder scratch;
    std::string present = scratch.WriteFile("c.txt", "c");
    std::string missingA = scratch.Path("a.txt");
    std::string missingB = scratch.Path("b.txt");
    EXPECT_EQ(velaset::ShortName(missingA), "");
    EXPECT_TRUE(velaset::ShortNameClash(missingB, {{present, "D"}, {missingA, "D"}}));
    EXPECT_FALSE(velaset::ShortNameClash(missingB, {{present, "D"}}));
}

} // namespace

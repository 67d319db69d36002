#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/short_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

TEST(FileAccess, FindsAFileByAnySpellingAndTellsFilesFoldersAndMissingPathsApart) {
    ScratchFolder scratch;
    scratch.MakeFolder("Cartella lunga");
    scratch.WriteFile(platform::JoinSourcePath("Cartella lunga", "setup.CAB"), "cabinet");
    const std::string other = platform::JoinSourcePath(scratch.Path("CARTELLA LUNGA"), "Setup.cab");
    EXPECT_EQ(ScratchFolder::ReadFile(other), "cabinet");
    EXPECT_TRUE(platform::IsReadableFile(other));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path("cartella lunga")));
    const std::string file = scratch.WriteFile(
        platform::JoinSourcePath("Cartella lunga", "Documento lungo.txt"), "testo");
    const std::string shortPath = platform::ShortPath(file);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(ScratchFolder::ReadFile(shortPath), "testo");
    ScratchFolder::WriteBytes(shortPath, "nuovo");
    EXPECT_EQ(ScratchFolder::ReadFile(file), "nuovo");

    EXPECT_FALSE(platform::IsDirectory(file));
    EXPECT_FALSE(platform::IsReadableFile(scratch.Path()));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path()));
    EXPECT_FALSE(platform::PathExists(scratch.Path("b.txt")));
    EXPECT_FALSE(platform::IsReadableFile(scratch.Path("b.txt")));
}

TEST(FileAccess, RemovesFilesAndAcceptsMissingOnes) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("a.txt", "a");
    EXPECT_TRUE(platform::RemoveFile(file));
    EXPECT_FALSE(platform::PathExists(file));
    EXPECT_TRUE(platform::RemoveFile(file));
}

} // namespace

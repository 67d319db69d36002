#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/short_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

TEST(FileAccess, OpensAFileUnderAnotherLetterCase) {
    ScratchFolder scratch;
    scratch.MakeFolder("Cartella");
    scratch.WriteFile(platform::JoinSourcePath("Cartella", "setup.CAB"), "cabinet");
    std::string other = platform::JoinSourcePath(scratch.Path("CARTELLA"), "Setup.cab");
    EXPECT_EQ(ScratchFolder::ReadFile(other), "cabinet");
    EXPECT_TRUE(platform::IsReadableFile(other));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path("cartella")));
}

TEST(FileAccess, OpensAFileByItsShortPath) {
    ScratchFolder scratch;
    scratch.MakeFolder("Cartella lunga");
    std::string file = scratch.WriteFile(
        platform::JoinSourcePath("Cartella lunga", "Documento lungo.txt"), "testo");
    std::string shortPath = platform::ShortPath(file);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(ScratchFolder::ReadFile(shortPath), "testo");
    // Writing through the short path changes the same file.
    ScratchFolder::WriteBytes(shortPath, "nuovo");
    EXPECT_EQ(ScratchFolder::ReadFile(file), "nuovo");
}

TEST(FileAccess, TellsFilesFoldersAndMissingPathsApart) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("a.txt", "a");
    EXPECT_TRUE(platform::IsReadableFile(file));
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

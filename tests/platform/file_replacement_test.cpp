#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/file_replacement.h"
#include "platform/work_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

std::vector<std::string> Names(const ScratchFolder& scratch) {
    std::vector<std::string> names;
    EXPECT_TRUE(platform::ListFolder(scratch.Path(), &names).ok);
    return names;
}

// Until the commit the old file keeps every byte and the new one grows beside it under a
// name of its own; the commit puts it in place and leaves nothing else. Dropped without
// a commit, only the old file stays.
TEST(FileReplacement, TheOldFileStaysWholeUntilTheNewOneTakesItsPlace) {
    for (bool commit : {true, false}) {
        SCOPED_TRACE(commit);
        ScratchFolder scratch;
        const std::string target = scratch.WriteFile("Setup.exe", "OLD");
        const std::string part = scratch.WriteFile("cab", "-CABINET");
        {
            platform::FileReplacement exe;
            ASSERT_TRUE(exe.Begin(target).ok);
            EXPECT_TRUE(platform::IsWorkingFileName(platform::SourceFileName(exe.WorkingPath()),
                                                    "Setup.exe"))
                << exe.WorkingPath();
            ASSERT_TRUE(exe.Append("STUB").ok);
            ASSERT_TRUE(exe.AppendFile(part).ok);
            EXPECT_EQ(ScratchFolder::ReadFile(target), "OLD");
            EXPECT_EQ(ScratchFolder::ReadFile(exe.WorkingPath()), "STUB-CABINET");
            if (commit)
                ASSERT_TRUE(exe.Commit().ok);
        }
        EXPECT_EQ(ScratchFolder::ReadFile(target), commit ? "STUB-CABINET" : "OLD");
        EXPECT_EQ(Names(scratch), (std::vector<std::string>{"Setup.exe", "cab"}));
    }
}

// A working file that a killed writer left goes with the next writer of its target; a
// live writer's file, another target's and files that only look alike stay.
TEST(FileReplacement, TheNextWriterRemovesOnlyWhatDeadWritersOfItsTargetLeft) {
    ScratchFolder scratch;
    const std::string target = scratch.Path("Setup.exe");
    const std::vector<std::string> kept = {"Altro.exe.~vsk1ll3d", "Setup.exe.~vs12345",
                                           "Setup.exe.bak", "Setup.exe.~vsABC-12"};
    for (const std::string& name : kept)
        scratch.WriteFile(name, "x");
    scratch.WriteFile("Setup.exe.~vsk1ll3d", "left by a killed build");
    scratch.WriteFile("SETUP.EXE.~vsz9z9z9", "left by a killed build");
    platform::FileReplacement live;
    ASSERT_TRUE(live.Begin(target).ok);
    platform::FileReplacement next;
    ASSERT_TRUE(next.Begin(target).ok);
    std::vector<std::string> expected = kept;
    expected.push_back(platform::SourceFileName(live.WorkingPath()));
    expected.push_back(platform::SourceFileName(next.WorkingPath()));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(scratch), expected);
    ASSERT_TRUE(next.Append("NEXT").ok);
    ASSERT_TRUE(next.Commit().ok);
    EXPECT_EQ(ScratchFolder::ReadFile(target), "NEXT");
}

TEST(FileReplacement, RefusesAFolderAndAMissingFolderNamingTheTarget) {
    ScratchFolder scratch;
    for (const std::string& target :
         {scratch.MakeFolder("Setup.exe"), scratch.Path("manca/Setup.exe")}) {
        SCOPED_TRACE(target);
        platform::FileReplacement exe;
        const platform::Status begun = exe.Begin(target);
        EXPECT_FALSE(begun.ok);
        EXPECT_EQ(begun.operation, platform::Operation::Create);
        EXPECT_EQ(begun.subject, target);
        EXPECT_NE(begun.systemError, 0);
    }
    EXPECT_EQ(Names(scratch), (std::vector<std::string>{"Setup.exe"}));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path("Setup.exe")));
}

} // namespace

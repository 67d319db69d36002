// A file replaced in one step: the old file stays whole until the new one, complete and
// on the disk, takes its place; working files go; what the old file had stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/file_replacement.h"
#include "platform/whole_file.h"
#include "platform/work_folder.h"
#include "tests/support/scratch_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

// The calls that order a replacement, recorded: these take the place of the C library's
// for the whole test program and pass each call on to it.
namespace {
bool g_recording = false;
std::vector<std::string> g_calls;

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd) {
    if (g_recording) {
        char path[PATH_MAX] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        if (readlink(link.c_str(), path, sizeof path - 1) < 0)
            path[0] = '\0';
        g_calls.push_back(std::string("fsync ") + path);
    }
    return Next<int (*)(int)>("fsync")(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_recording)
        g_calls.push_back(std::string("rename ") + from);
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}
#endif

namespace {

using velaset_test::ScratchFolder;

std::vector<std::string> Names(const ScratchFolder& scratch) {
    std::vector<std::string> names;
    EXPECT_TRUE(platform::ListFolder(scratch.Path(), &names).ok);
    return names;
}

// Dropped without a commit, only the old file stays.
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

// A live writer's file, another target's and files that only look alike stay.
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

TEST(WholeFile, ReplacesAFileUnderItsOwnNameAndReadsAnAbsentOneAsNone) {
    ScratchFolder scratch;
    std::string data = "x";
    bool exists = true;
    ASSERT_TRUE(platform::ReadWholeFile(scratch.Path("assente"), &data, &exists));
    EXPECT_FALSE(exists);
    EXPECT_EQ(data, "");
    const std::string file = scratch.WriteFile("f.bin", "vecchio contenuto, più lungo");
    ASSERT_TRUE(platform::ReplaceWholeFile(scratch.Path("F.BIN"), std::string("nuovo\0", 6)));
    ASSERT_TRUE(platform::ReadWholeFile(file, &data, &exists));
    EXPECT_TRUE(exists);
    EXPECT_EQ(data, std::string("nuovo\0", 6));
    EXPECT_EQ(Names(scratch), std::vector<std::string>{"f.bin"});
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
        if (target == scratch.Path("manca/Setup.exe"))
            EXPECT_EQ(begun.kind, platform::ErrorKind::NotFound);
    }
    EXPECT_EQ(Names(scratch), (std::vector<std::string>{"Setup.exe"}));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path("Setup.exe")));
}

#ifdef _WIN32
TEST(WholeFile, RefusesAReadOnlyFileAndKeepsAHiddenOneHidden) {
    ScratchFolder scratch;
    const std::string file = scratch.WriteFile("sola.ini", "intatto");
    const std::wstring wide(file.begin(), file.end());
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(platform::ReplaceWholeFile(file, "altro").kind, platform::ErrorKind::AccessDenied);
    EXPECT_EQ(ScratchFolder::ReadFile(file), "intatto");
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(platform::ReplaceWholeFile(file, "altro"));
    EXPECT_EQ(ScratchFolder::ReadFile(file), "altro");
    EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
#else
TEST(WholeFile, KeepsPermissionsAndLinksAndRefusesAFileThatMayNotBeWritten) {
    ScratchFolder scratch;
    const std::string file = scratch.WriteFile("p.mip", "vecchio");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    const std::string link = scratch.Path("collegamento.mip");
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    ASSERT_TRUE(platform::ReplaceWholeFile(link, "nuovo"));
    struct stat info;
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a file";
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ScratchFolder::ReadFile(file), "nuovo");
    if (geteuid() != 0) { // the administrator may write any file
        ASSERT_EQ(chmod(file.c_str(), 0440), 0);
        EXPECT_EQ(platform::ReplaceWholeFile(file, "altro").kind, platform::ErrorKind::AccessDenied);
        EXPECT_EQ(ScratchFolder::ReadFile(file), "nuovo");
    }
}

// A crash just after the rename must find the new bytes on the disk, for the package and
// for a whole file (a saved project) alike.
TEST(FileReplacement, TheNewBytesReachTheDiskBeforeTheirName) {
    for (bool whole : {false, true}) {
        SCOPED_TRACE(whole);
        ScratchFolder scratch;
        const std::string target = scratch.WriteFile("Setup.exe", "OLD");
        platform::FileReplacement exe;
        g_calls.clear();
        g_recording = true;
        platform::Status done = whole ? platform::ReplaceWholeFile(target, "NEW") : exe.Begin(target);
        if (!whole && done)
            done = exe.Append("NEW");
        if (!whole && done)
            done = exe.Commit();
        g_recording = false;
        ASSERT_TRUE(done.ok) << done.message;
        EXPECT_EQ(ScratchFolder::ReadFile(target), "NEW");
        const auto renamed = std::find_if(g_calls.begin(), g_calls.end(), [](const std::string& call) {
            return call.rfind("rename ", 0) == 0;
        });
        ASSERT_NE(renamed, g_calls.end());
        const std::string working = renamed->substr(7);
        EXPECT_TRUE(platform::IsWorkingFileName(platform::SourceFileName(working), "Setup.exe"));
        EXPECT_NE(std::find(g_calls.begin(), renamed, "fsync " + working), renamed)
            << "no fsync of " << working << " before its rename";
    }
}
#endif

} // namespace

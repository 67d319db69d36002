// What the fuzz targets and the hostile inputs found mishandled, kept as cases of their
// own: damaged profile files (on both platforms: the Windows profile functions are the
// model that the POSIX layer follows) and a source file of an unusual but legal path.
// (A project of files in folders whose names hold the separators of the stored forms:
// ProjectLoad.ReadsBackWhatTheSaveWrote.)
#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "builder/script/script_file.h"
#include "platform/file_access.h"
#include "platform/profile_file.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using namespace std::string_literals;
using velaset_test::ScratchFolder;

std::string Read(const std::string& file, const char* section, const char* key) {
    return platform::ReadProfileValue(file, section, key, "?", 255);
}

// A CR without LF ends its line, as the system reads it; before, the POSIX layer kept
// it inside the value, and a project loaded from such a file could not be saved again.
TEST(ProfileReadOfDamagedFile, CrAloneEndsTheLine) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("cr.ini", "[S]\r\nK=ab\rM=cd\r\nL=x\rY\r\n[T]\rZ=1\r\n"s);
    EXPECT_EQ(Read(file, "S", "K"), "ab");
    EXPECT_EQ(Read(file, "S", "M"), "cd");
    EXPECT_EQ(Read(file, "S", "L"), "x");
    EXPECT_EQ(Read(file, "T", "Z"), "1");

    ASSERT_TRUE(platform::WriteProfileValue(file, "S", "M", "nuovo").ok);
    EXPECT_EQ(Read(file, "S", "K"), "ab");
    EXPECT_EQ(Read(file, "S", "M"), "nuovo");
    EXPECT_EQ(Read(file, "T", "Z"), "1");
}

// A NUL byte never reaches a value (the system hands values over as C strings; Wine
// even takes a file with NUL bytes for UTF-16 and finds no key in it at all).
TEST(ProfileReadOfDamagedFile, NoValueHoldsANulByte) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("nul.ini", "[S]\r\nK=ab\0cd\r\nM=x\r\n"s);
    std::string value = Read(file, "S", "K");
    EXPECT_EQ(value.find('\0'), std::string::npos);
#ifndef _WIN32
    EXPECT_EQ(value, "ab");
#endif
}

// Nineteen nested folders of eight letters keep their names as short names, so the
// short path of a file in them cannot fit the system's 164-character buffer.
TEST(SetupScriptOfUnusualNames, ShortPathBeyondTheBufferIsRefusedNamingTheFile) {
    ScratchFolder scratch;
    std::string folder = scratch.Path();
    for (int i = 0; i < 19; ++i) {
        folder = platform::JoinSourcePath(folder, "abcdefgh");
        ASSERT_TRUE(platform::MakeDirectory(folder).ok);
    }
    std::string file = platform::JoinSourcePath(folder, "profondo.txt");
    ScratchFolder::WriteBytes(file, "contenuto");
    velaset::Project project;
    project.Titolo = "Profondo";
    project.DefDir = "Profondo";
    project.NomeGruppo = "Profondo";
    ASSERT_TRUE(project.AddFile({file, "D"}).ok);

    std::string bytes;
    platform::Status built =
        velaset::BuildSetupScript(project, velaset::ScriptVariant::Full, &bytes);
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.message, "Impossibile leggere il nome corto del file " + file +
                                 ": il suo percorso corto supera i 164 caratteri.");
    EXPECT_TRUE(bytes.empty());
}

} // namespace

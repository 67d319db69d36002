// What the fuzz targets and the hostile inputs found mishandled, kept as cases of their
// own: damaged profile and project files (on both platforms: the Windows profile
// functions are the model that the POSIX layer follows), and source files with unusual
// but legal names (Windows-1252 letters, folders whose names hold blanks and the
// characters that the stored forms use as separators).
#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
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

TEST(ProjectLoadOfDamagedFile, LineBrokenByACrAloneSavesAndLoadsBackTheSame) {
    ScratchFolder scratch;
    velaset::Project project;
    project.ProgFile = scratch.WriteFile(
        "cr.mip", "[Progetto]\r\nEtic2A=prima\rseconda\r\nGruppo=1\r\nDlgEnd=0\r\n"
                  "Titolo=Demo\rLancio=x\r\n[Chiavi]\r\nNumChiavi=1\r\n1=HKCU,X,\"\",,\"1\"\rresto\r\n"s);
    ASSERT_TRUE(velaset::LoadProject(&project, scratch.Path()).ok);
    EXPECT_EQ(project.Etic2A, "prima");
    EXPECT_EQ(project.Titolo, "Demo");
    EXPECT_EQ(project.Lancio, "x");
    ASSERT_EQ(project.RegistryEntries().size(), 1u);
    EXPECT_EQ(project.RegistryEntries()[0], "HKCU,X,\"\",,\"1\"");

    velaset::Project again;
    again.ProgFile = scratch.Path("copia.mip");
    ASSERT_TRUE(velaset::SaveProjectTo(project, again.ProgFile).ok);
    ASSERT_TRUE(velaset::LoadProject(&again, scratch.Path()).ok);
    EXPECT_EQ(again.Etic2A, project.Etic2A);
    EXPECT_EQ(again.Titolo, project.Titolo);
    EXPECT_EQ(again.RegistryEntries(), project.RegistryEntries());
}

TEST(FileEntryText, PathWithCommasComesBackWhole) {
    struct Case {
        const char* text;
        const char* path;
        const char* destination;
    } cases[] = {
        {"C:\\Src\\app.exe,D", "C:\\Src\\app.exe", "D"},
        {"C:\\a,b\\c;d=e[f\\Lib,1.dll,S*", "C:\\a,b\\c;d=e[f\\Lib,1.dll", "S*"},
        {"senza virgola", "senza virgola", ""},
        {",H", "", "H"},
    };
    for (const Case& c : cases) {
        velaset::FileEntry entry = velaset::FileEntry::FromText(c.text);
        EXPECT_EQ(entry.path, c.path) << c.text;
        EXPECT_EQ(entry.destination, c.destination) << c.text;
        EXPECT_EQ(velaset::FileEntry::FromText(entry.Text()), entry) << c.text;
    }
}

TEST(ProjectFileWithUnusualNames, FilesInFoldersWithSeparatorsSaveAndLoadBack) {
    ScratchFolder scratch;
    std::string folder = scratch.MakeFolder("cartella con spazi+più,punto;virgola=uguale[quadra");
    velaset::Project project;
    project.ProgFile = scratch.Path("strani.mip");
    for (const char* name : {"Però.txt", "Schön.dat", "readme.txt"}) {
        std::string path = platform::JoinSourcePath(folder, name);
        ScratchFolder::WriteBytes(path, "contenuto");
        ASSERT_TRUE(project.AddFile({path, "D"}).ok);
    }
    ASSERT_TRUE(velaset::SaveProject(project).ok);

    velaset::Project loaded;
    loaded.ProgFile = project.ProgFile;
    ASSERT_TRUE(velaset::LoadProject(&loaded, scratch.Path()).ok);
    EXPECT_EQ(loaded.Files(), project.Files());
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

// Source files with unusual but legal names: Windows-1252 letters, and folders whose
// names hold blanks and the characters that the stored forms use as separators.
#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "builder/script/script_file.h"
#include "platform/file_access.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

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

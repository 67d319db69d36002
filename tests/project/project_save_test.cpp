#include <gtest/gtest.h>

#include "builder/project/failure_text.h"
#include "builder/project/ini_file.h"
#include "builder/project/project_file.h"
#include "platform/work_folder.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using velaset::Project;
using velaset_test::ScratchFolder;

std::string Golden(const char* name) {
    return ScratchFolder::ReadFile(std::string(VELASET_TEST_DATA_DIR) + "/project/" + name);
}

Project NewProject() {
    Project p;
    p.ResetToNewProject("C:\\Progetti", "C:\\Program Files\\");
    // Paths are texts to the save; fixed ones keep the golden file the same everywhere.
    p.ExeFile = "C:\\Progetti\\Nuovo Progetto.exe";
    p.ProgFile = "C:\\Progetti\\Nuovo Progetto.mip";
    return p;
}

Project ProjectWithLists() {
    Project p = NewProject();
    p.SetTitleAsTyped("Demo");
    p.Caption = "Installazione di Demo";
    p.Etic1A = "Benvenuti";
    p.Etic2A = "Questo programma installerà Demo.";
    p.DefCartella = "C:\\Programmi\\";
    p.DefDir = "Demo";
    p.CaptionB = "Fine";
    p.LabelControl = "Demo 1.0";
    p.SetUninstall(1);
    p.UninstallString = "Disinstalla Demo";
    p.SetChkLancio(1);
    p.Lancio = "Demo.exe";
    p.SetSfondo(1);
    p.TestoSfondo = "Demo — l'installazione";
    p.Stop = "Interrotta.";
    p.Disinstalla = "Vuoi disinstallare Demo?";
    EXPECT_TRUE(p.AddFile({"C:\\Src\\Demo.exe", "D"}));
    EXPECT_TRUE(p.AddFile({"C:\\Src\\Guida lunga.hlp", "H"}));
    EXPECT_TRUE(p.AddFile({"C:\\Src\\Comp.ocx", "D*"}));
    EXPECT_TRUE(p.AddLink({"Demo.exe", "Demo", "P"}));
    EXPECT_TRUE(p.AddLink({"Demo.exe", "Demo", "D"}));
    EXPECT_TRUE(p.AddRegistryEntry("HKLM,Software\\Demo,\"Versione\",,\"1.0\""));
    EXPECT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\""));
    return p;
}

TEST(ProjectSave, WritesANewProjectByteForByte) {
    ScratchFolder scratch;
    std::string file = scratch.Path("nuovo.mip");
    ASSERT_TRUE(velaset::SaveProjectTo(NewProject(), file));
    EXPECT_EQ(ScratchFolder::ReadFile(file), Golden("new_project.mip"));
}

// Saved again over its own file, the project gives the same bytes.
TEST(ProjectSave, WritesFilesLinksAndRegistryEntriesByteForByte) {
    ScratchFolder scratch;
    Project p = ProjectWithLists();
    EXPECT_EQ(p.ProgFile, "C:\\Progetti\\Demo.mip");
    std::string file = scratch.Path("demo.mip");
    for (int save = 0; save < 2; ++save) {
        ASSERT_TRUE(velaset::SaveProjectTo(p, file));
        EXPECT_EQ(ScratchFolder::ReadFile(file), Golden("project_with_lists.mip")) << save;
    }
}

TEST(ProjectSave, LeavesStaleKeysOfALongerList) {
    ScratchFolder scratch;
    std::string file = scratch.Path("demo.mip");
    Project p = ProjectWithLists();
    ASSERT_TRUE(velaset::SaveProjectTo(p, file));
    p.RemoveFileAt(2);
    ASSERT_TRUE(velaset::SaveProjectTo(p, file));
    EXPECT_EQ(velaset::ReadIni(file, "Progetto", "NumFile"), "2");
    EXPECT_EQ(velaset::ReadIni(file, "Files", "3"), "C:\\Src\\Comp.ocx,D*");
}

TEST(ProjectSave, RefusesTextsTheFileCannotHoldAndWritesNothing) {
    struct Case {
        void (*change)(Project*);
        const char* field;
    } cases[] = {
        {[](Project* p) { p->Caption = "Setup 日本"; }, "Caption"},
        {[](Project* p) { p->Stop = "✋"; }, "Stop"},
        {[](Project* p) { EXPECT_TRUE(p->AddRegistryEntry("HKLM,Software\\€✓,\"\",,\"1\"")); },
         "Chiavi 1"},
        {[](Project* p) { p->EticB = "due\r\nrighe"; }, "EticB"},
        {[](Project* p) { p->Etic2A = "un ¶ scritto"; }, "Etic2A"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        std::string file = scratch.Path("p.mip");
        Project p = NewProject();
        c.change(&p);
        platform::Status refused = velaset::SaveProjectTo(p, file);
        EXPECT_FALSE(refused.ok) << c.field;
        EXPECT_NE(refused.message.find("Il campo " + std::string(c.field) + " "), std::string::npos)
            << refused.message;
        EXPECT_FALSE(platform::PathExists(file)) << c.field;
    }
}

TEST(ProjectSave, ReportsAFileThatCannotBeWritten) {
    ScratchFolder scratch;
    Project p = NewProject();
    p.ProgFile = platform::JoinSourcePath(scratch.Path("manca"), "p.mip");
    platform::Status failed = velaset::SaveProject(p);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(velaset::FailureText(failed).rfind("Impossibile creare " + p.ProgFile + ", ", 0), 0u)
        << velaset::FailureText(failed);
    p.ProgFile = scratch.MakeFolder("cartella.mip");
    EXPECT_FALSE(velaset::SaveProject(p).ok);
}

// The save replaces the file in one step: a save that fails half way, for want of
// room, leaves the old file whole and no working file beside it.
#ifndef _WIN32
TEST(ProjectSave, ASaveThatRunsOutOfRoomLeavesTheOldFileWhole) {
    ScratchFolder scratch;
    std::string file = scratch.Path("p.mip");
    ASSERT_TRUE(velaset::SaveProjectTo(NewProject(), file));
    const std::string before = ScratchFolder::ReadFile(file);
    Project bigger = ProjectWithLists();
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(bigger.AddRegistryEntry("HKLM,Software\\Demo,\"V" + std::to_string(i) +
                                            "\",,\"" + std::string(100, 'x') + "\""));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // No file of this process may grow past 4 KB: as a disk that is full.
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        platform::Status saved = velaset::SaveProjectTo(bigger, file);
        const bool told = !saved.ok && saved.kind == platform::ErrorKind::DiskFull &&
                          velaset::FailureText(saved).rfind("Impossibile creare " + file, 0) == 0;
        _exit(told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed save was not reported as a full disk";
    EXPECT_EQ(ScratchFolder::ReadFile(file), before);
    std::vector<std::string> names;
    ASSERT_TRUE(platform::ListFolder(scratch.Path(), &names));
    EXPECT_EQ(names, std::vector<std::string>{"p.mip"});
}
#endif

} // namespace

// The command line never loses a user's work: what a load leaves out is told by every
// command that loads, stops every command that would save or build, and goes only on
// request (remove --missing); a moved project finds its files; a file that is no project
// and an ExeFile in a folder that is gone are refused with exit code 1.
#include <filesystem>

#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/file_access.h"
#include "tests/cli/command_run.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::CommandRun;
using velaset_test::ScratchFolder;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ProjectLossTest : public ::testing::Test {
  protected:
    ScratchFolder folder;
    std::string mip = folder.Path("Mio.mip");
    std::string program = folder.WriteFile("src/Mio.exe", "MZ");
    std::string notes = folder.WriteFile("src/Note.txt", "note");

    void SetUp() override {
        ASSERT_EQ(Velaset({"new", mip, "--title", "Mio"}).code, 0);
        ASSERT_EQ(Velaset({"add", mip, program, notes}).code, 0);
        ASSERT_EQ(Velaset({"link", mip, "add", "Mio.exe", "Mio", "P"}).code, 0);
    }

    CommandRun Velaset(std::vector<std::string> args) {
        return velaset_test::RunVelaset(folder, std::move(args));
    }

    std::vector<FileEntry> Files() {
        Project project;
        project.ProgFile = mip;
        EXPECT_TRUE(LoadProject(&project, "").ok);
        return project.Files();
    }
};

TEST_F(ProjectLossTest, AVanishedFileIsToldByEveryCommandAndStopsEveryOneThatSaves) {
    std::filesystem::remove(std::filesystem::u8path(program));
    const std::string before = ScratchFolder::ReadFile(mip);
    const std::string told = "velaset: il progetto " + mip +
                             " non è stato caricato come era salvato:\n  " + program +
                             ": il file non esiste\n  collegamento \"Mio\": il file Mio.exe non è "
                             "nell'elenco dei file\n";

    const CommandRun show = Velaset({"show", mip});
    EXPECT_EQ(show.code, 0) << "showing saves nothing";
    EXPECT_EQ(show.err, told);

    const std::vector<std::vector<std::string>> saving = {
        {"set", mip, "Caption=Altro"},
        {"add", mip, folder.WriteFile("src/Altro.txt")},
        {"remove", mip, notes},
        {"dest", mip, notes, "W"},
        {"reg", mip, "add", "HKLM", "Software\\Mio", "X", "1"},
        {"msg", mip, "Stop", "Fermato"},
        {"inf", mip},
        {"build", mip, "-o", folder.Path("Setup.exe")},
    };
    for (const auto& args : saving) {
        SCOPED_TRACE(args[0]);
        const CommandRun run = Velaset(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err.substr(0, told.size()), told);
        EXPECT_TRUE(Contains(run.err, "velaset remove " + mip + " --missing")) << run.err;
        EXPECT_EQ(ScratchFolder::ReadFile(mip), before) << "the project file is untouched";
    }
    EXPECT_FALSE(platform::PathExists(folder.Path("Setup.exe")));
    EXPECT_FALSE(platform::PathExists(folder.Path("setup.inf")));

    // When the file is back, nothing was lost.
    folder.WriteFile("src/Mio.exe", "MZ");
    EXPECT_EQ(Files().size(), 2u);
    EXPECT_EQ(ScratchFolder::ReadFile(mip), before);
}

TEST_F(ProjectLossTest, RemoveMissingDropsWhatTheLoadLeftOutAndNothingElse) {
    std::filesystem::remove(std::filesystem::u8path(program));
    const CommandRun run = Velaset({"remove", mip, "--missing"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, program + ": il file non esiste")) << run.err;
    ASSERT_EQ(Files().size(), 1u);
    EXPECT_EQ(Files()[0].path, notes);
    const CommandRun again = Velaset({"show", mip});
    EXPECT_EQ(again.err, "") << "the project now loads as it is stored";
}

TEST_F(ProjectLossTest, RemovingAFileRemovesTheLinksThatOnlyItCarried) {
    const CommandRun run = Velaset({"remove", mip, program});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "velaset remove: tolto anche il collegamento \"Mio\" a Mio.exe\n");
    const CommandRun show = Velaset({"show", mip});
    EXPECT_EQ(show.err, "") << "no link without its file is left to be dropped later";
    EXPECT_TRUE(Contains(show.out, "NumLink=0\n"));
}

TEST_F(ProjectLossTest, AMovedProjectFindsItsFilesAndTheSaveKeepsThem) {
    const std::string moved = folder.Path("Altrove");
    const std::string movedMip = platform::JoinSourcePath(moved, "Mio.mip");
    std::filesystem::rename(
        std::filesystem::u8path(folder.Path("src")),
        std::filesystem::u8path(platform::JoinSourcePath(folder.MakeFolder("Altrove"), "src")));
    std::filesystem::rename(std::filesystem::u8path(mip), std::filesystem::u8path(movedMip));
    const std::string movedProgram =
        platform::JoinSourcePath(platform::JoinSourcePath(moved, "src"), "Mio.exe");
    const CommandRun set = Velaset({"set", movedMip, "Caption=Spostato"});
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_TRUE(Contains(set.err, program + ": trovato in " + movedProgram)) << set.err;
    const CommandRun show = Velaset({"show", movedMip});
    EXPECT_EQ(show.err, "") << "the new places were saved";
    EXPECT_TRUE(Contains(show.out, "1=" + movedProgram + ",D\n")) << show.out;
    EXPECT_TRUE(Contains(show.out, "1=Mio.exe,Mio,P\n"));
}

TEST_F(ProjectLossTest, AFileThatIsNoProjectIsRefusedWithExitCode1) {
    const std::string text = folder.WriteFile("note.mip", "Caro diario,\r\noggi niente.\r\n");
    for (const char* command : {"show", "set", "build"}) {
        std::vector<std::string> args = {command, text};
        if (std::string(command) == "set")
            args.push_back("Caption=x");
        const CommandRun run = Velaset(args);
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_EQ(run.err, "velaset: Impossibile caricare il progetto " + text +
                               ": il file non è un progetto Velaset (non ha la sezione "
                               "[Progetto]).\n");
    }
    EXPECT_EQ(ScratchFolder::ReadFile(text), "Caro diario,\r\noggi niente.\r\n");
    const CommandRun aFolder = Velaset({"show", folder.Path("src")});
    EXPECT_EQ(aFolder.code, 1);
    EXPECT_TRUE(Contains(aFolder.err, "è una cartella, non un file di progetto")) << aFolder.err;
}

TEST_F(ProjectLossTest, BuildNeverWritesAnExecutableOutsideAFolderThatExists) {
    const std::string gone = platform::JoinSourcePath(folder.Path("sparita"), "Mio.exe");
    ASSERT_EQ(Velaset({"set", mip, "ExeFile=" + gone}).code, 0);
    const std::string before = ScratchFolder::ReadFile(mip);
    const CommandRun show = Velaset({"show", mip});
    EXPECT_EQ(show.code, 0);
    EXPECT_TRUE(Contains(show.err, "ExeFile " + gone + ": la cartella ")) << show.err;
    EXPECT_TRUE(Contains(show.out, "ExeFile=" + gone + "\n")) << "kept as stored";

    const CommandRun build = Velaset({"build", mip});
    EXPECT_EQ(build.code, 1);
    EXPECT_TRUE(Contains(build.err, "velaset: la cartella " + platform::SourceFolderPart(gone) +
                                        " dell'eseguibile " + gone + " (ExeFile) non esiste"))
        << build.err;
    EXPECT_TRUE(Contains(build.err, "-o SETUP.exe"));
    EXPECT_EQ(ScratchFolder::ReadFile(mip), before);
    EXPECT_FALSE(platform::PathExists(platform::JoinSourcePath(platform::ApplicationFolder(),
                                                               "Mio.exe")));
    const std::string option = platform::JoinSourcePath(folder.Path("manca"), "S.exe");
    const CommandRun o = Velaset({"build", mip, "-o", option});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Contains(o.err, "non esiste: l'eseguibile non è stato creato")) << o.err;
    EXPECT_EQ(ScratchFolder::ReadFile(mip), before);
}

} // namespace
} // namespace velaset

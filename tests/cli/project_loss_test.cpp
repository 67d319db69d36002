// The command line never loses a user's work: what a load leaves out is told by every
// command that loads, stops every command that would save or build, and goes only on
// request (remove --missing); a file that is no project and an ExeFile in a folder that
// is gone are refused with exit code 1.
#include <filesystem>

#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/text_encoding.h"
#include "tests/cli/command_run.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::CommandRun;
using velaset_test::ScratchFolder;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ProjectLossTest : public velaset_test::VelasetTest {
  protected:
    std::string mip = folder.Path("Mio.mip");
    std::string program = folder.WriteFile("src/Mio.exe", "MZ");
    std::string notes = folder.WriteFile("src/Note.txt", "note");

    void SetUp() override {
        ASSERT_EQ(Velaset({"new", mip, "--title", "Mio"}).code, 0);
        ASSERT_EQ(Velaset({"add", mip, program, notes}).code, 0);
        ASSERT_EQ(Velaset({"link", mip, "add", "Mio.exe", "Mio", "P"}).code, 0);
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
        {"build", mip},
    };
    for (const auto& args : saving) {
        SCOPED_TRACE(args[0]);
        const CommandRun run = Velaset(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err.substr(0, told.size()), told);
        EXPECT_TRUE(Contains(run.err, "velaset remove " + mip + " --missing")) << run.err;
        EXPECT_EQ(ScratchFolder::ReadFile(mip), before) << "the project file is untouched";
    }
    for (const std::string& none :
         {folder.Path("Setup.exe"), folder.Path("setup.inf"), folder.Path("Mio.exe"),
          platform::JoinSourcePath(platform::ApplicationFolder(), "Mio.exe")})
        EXPECT_FALSE(platform::PathExists(none)) << none;

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

TEST_F(ProjectLossTest, AFileThatIsNoProjectIsRefusedWithExitCode1) {
    const std::string text = folder.WriteFile("note.mip", "Caro diario,\r\noggi niente.\r\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show", text},
                                                 {"set", text, "Caption=x"}, {"build", text}}) {
        const CommandRun run = Velaset(args);
        EXPECT_EQ(run.code, 1) << args[0];
        EXPECT_EQ(run.err, "velaset: Impossibile caricare il progetto " + text +
                               ": il file non è un progetto Velaset (non ha la sezione "
                               "[Progetto]).\n");
    }
    EXPECT_EQ(ScratchFolder::ReadFile(text), "Caro diario,\r\noggi niente.\r\n");
    // Nothing is left beside it, nor beside a file that new would not overwrite.
    EXPECT_EQ(Velaset({"new", text}).code, 1);
    EXPECT_FALSE(platform::PathExists(text + ".lock"));
    const CommandRun aFolder = Velaset({"show", folder.Path("src")});
    EXPECT_EQ(aFolder.code, 1);
    EXPECT_TRUE(Contains(aFolder.err, "è una cartella, non un file di progetto")) << aFolder.err;
}

// A project that an editor saved in UTF-8 with its byte order mark is read converted,
// and said so; the next save writes it in Windows-1252. One with a character that
// Windows-1252 has not is refused, naming its line, and left as it is.
TEST_F(ProjectLossTest, AProjectInUtf8WithItsByteOrderMarkIsConvertedWhereItFits) {
    const std::string ansi = ScratchFolder::ReadFile(mip);
    const std::string utf8 = "\xEF\xBB\xBF" + platform::Windows1252ToUtf8(ansi);
    ScratchFolder::WriteBytes(mip, utf8);
    const CommandRun shown = Velaset({"show", mip});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_TRUE(Contains(shown.err, "il file è in UTF-8 (comincia con il segno BOM)")) << shown.err;
    EXPECT_TRUE(Contains(shown.out, "Titolo=Mio\n")) << shown.out;
    ASSERT_EQ(Velaset({"set", mip, "Caption=Però"}).code, 0);
    const std::string saved = ScratchFolder::ReadFile(mip);
    EXPECT_EQ(saved.compare(0, 11, "[Progetto]\r"), 0) << "Windows-1252, no mark";
    EXPECT_TRUE(Contains(saved, "Caption=Per\xF2\r\n"));

    const std::string greek = "\xEF\xBB\xBF[Progetto]\r\nTitolo=\xCE\xA9\r\n";
    ScratchFolder::WriteBytes(mip, greek);
    const CommandRun refused = Velaset({"set", mip, "Caption=x"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Contains(refused.err, "la riga 2 non è UTF-8 valido o contiene caratteri"))
        << refused.err;
    EXPECT_EQ(ScratchFolder::ReadFile(mip), greek);
}

TEST_F(ProjectLossTest, BuildNeverWritesAnExecutableOutsideAFolderThatExists) {
    const std::string gone = platform::JoinSourcePath(folder.Path("sparita"), "Mio.exe");
    ASSERT_EQ(Velaset({"set", mip, "ExeFile=" + gone}).code, 0);
    const std::string before = ScratchFolder::ReadFile(mip);
    const CommandRun build = Velaset({"build", mip});
    EXPECT_EQ(build.code, 1);
    EXPECT_TRUE(Contains(build.err, "La cartella " + platform::SourceFolderPart(gone) +
                                        " dell'eseguibile " + gone + " (ExeFile) non esiste"))
        << build.err;
    EXPECT_TRUE(Contains(build.err, "-o SETUP.exe"));
    EXPECT_EQ(ScratchFolder::ReadFile(mip), before);
    EXPECT_FALSE(
        platform::PathExists(platform::JoinSourcePath(platform::ApplicationFolder(), "Mio.exe")));
    const std::string option = platform::JoinSourcePath(folder.Path("manca"), "S.exe");
    const CommandRun o = Velaset({"build", mip, "-o", option});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Contains(o.err, "non esiste: l'eseguibile non è stato creato")) << o.err;
    EXPECT_EQ(ScratchFolder::ReadFile(mip), before);
}

// A project file that came from someone else: an entry out of the form the dialogs give
// it stops every command (they share the load), show included, with exit code 1 and the
// file as it was.
TEST_F(ProjectLossTest, AnEntryOutOfItsFormStopsEveryCommandAndLeavesTheFile) {
    ASSERT_EQ(Velaset({"reg", mip, "add", "HKLM", "Software\\Mio", "Cartella", "%PROGDIR%"}).code,
              0);
    std::string text = ScratchFolder::ReadFile(mip);
    const std::string entry = "1=HKLM,Software\\Mio,\"Cartella\",,\"%PROGDIR%\"";
    const size_t at = text.find(entry);
    ASSERT_NE(at, std::string::npos) << text;
    // Another root and a flags field smuggled into the stored line.
    const std::string hostile = "1=HKLM,Software\\Mio,\"Cartella\",0x4,\"x\",HKLM,Run";
    text.replace(at, entry.size(), hostile);
    folder.WriteFile("Mio.mip", text);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show", mip},
                                                 {"build", mip, "-o", folder.Path("Setup.exe")}}) {
        const CommandRun run = Velaset(args);
        EXPECT_EQ(run.code, cli::kExitFailed) << args[0];
        EXPECT_TRUE(Contains(run.err, "La voce 1 di [Chiavi] (" + hostile.substr(2) +
                                          ") non è valida: non ha la forma"))
            << args[0] << ": " << run.err;
        EXPECT_EQ(ScratchFolder::ReadFile(mip), text) << args[0];
    }
    EXPECT_FALSE(platform::PathExists(folder.Path("Setup.exe")));
}

} // namespace
} // namespace velaset

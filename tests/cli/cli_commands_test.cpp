// The list-editing commands and the script-only run, run in-process as "velaset ...".
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "builder/project/short_name_clash.h"
#include "builder/script/clash_message.h"
#include "cli/command_kit.h"
#include "cli/dispatcher.h"
#include "cli/list_edit_kit.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "tests/cli/command_run.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

using velaset_test::CommandRun;

class CliCommandsTest : public velaset_test::VelasetTest {
  protected:
    std::string mip = folder.Path("Demo.mip");

    void SetUp() override { ASSERT_EQ(Velaset({"new", mip, "--title", "Demo"}).code, 0); }

    Project Loaded() {
        Project project;
        project.ProgFile = mip;
        EXPECT_TRUE(LoadProject(&project, platform::ApplicationFolder()).ok);
        return project;
    }
};

TEST_F(CliCommandsTest, AddPrintsTheClashMessageAndAddsTheOthers) {
    const std::string lungo = folder.WriteFile("A/Documento lungo.txt");
    const std::string largo = folder.WriteFile("B/Documento largo.txt");
    const std::string app = folder.WriteFile("A/app.exe");
    const CommandRun run = Velaset({"add", mip, lungo, largo, app});
    const Project project = Loaded();
    if (ShortName(lungo) != ShortName(largo)) { // Wine's hashed short names differ
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(project.Files().size(), 3u);
        return;
    }
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              cli::WithLineFeeds(ShortNameClashMessage(lungo, largo, "DOCUME~1.TXT")) + "\n");
    EXPECT_NE(run.err.find("\nDOS 8.3, ovvero: DOCUME~1.TXT\n"), std::string::npos);
    ASSERT_EQ(project.Files().size(), 2u);
    EXPECT_EQ(project.Files()[0].path, lungo);
    EXPECT_EQ(project.Files()[1].path, app);
}

TEST_F(CliCommandsTest, AddRefusesBadArgumentsBeforeTouchingTheProject) {
    const std::string text = folder.WriteFile("src/note.txt");
    const std::string library = folder.WriteFile("src/lib.dll");
    const std::string before = ScratchFolder::ReadFile(mip);
    // Bad usage (2); a file that cannot be added fails the operation, saying why (1).
    const std::string missing = folder.Path("src/missing.txt");
    const std::string src = folder.Path("src");
    const std::string empty = folder.MakeFolder("vuota");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"add", mip}, 2, ""},
        {{"add", mip, text, "--dest", "X"}, 2, ""},
        {{"add", mip, text, "--dest"}, 2, ""},
        {{"add", mip, text, "--register"}, 2, ""},
        {{"add", mip, library, "--dest", "W", "--register"}, 2, ""},
        {{"add", mip, library, missing}, 1, "velaset: il file non esiste: " + missing + "\n"},
        {{"add", mip, library, src}, 1,
         "velaset: " + src + " è una cartella: --recursive aggiunge tutti i file che contiene\n"},
        {{"add", mip, empty, "--recursive"}, 1,
         "velaset: la cartella " + empty + " non contiene file\n"},
    };
    for (const auto& c : cases) {
        const CommandRun run = Velaset(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.back();
        if (c.code == 1)
            EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(ScratchFolder::ReadFile(mip), before) << c.args.back();
    }
}

TEST_F(CliCommandsTest, AddOfAFolderWithRecursiveAddsEveryFileBelowIt) {
    const std::string a = folder.WriteFile("dist/b.exe");
    const std::string b = folder.WriteFile("dist/a.txt");
    const std::string c = folder.WriteFile("dist/sub/c.hlp");
    const CommandRun run = Velaset({"add", mip, folder.Path("dist"), "--recursive"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Project project = Loaded();
    ASSERT_EQ(project.Files().size(), 3u);
    // Name order, folder by folder, each with its folder's default code.
    EXPECT_EQ(project.Files()[0].Text(), b + ",D");
    EXPECT_EQ(project.Files()[1].Text(), a + ",D");
    EXPECT_EQ(project.Files()[2].Text(), c + ",D");
}

TEST_F(CliCommandsTest, AddSetsTheCodeAsTheDestinationDialogWould) {
    const std::string library = folder.WriteFile("src/lib.dll");
    const std::string help = folder.WriteFile("src/help.hlp");
    EXPECT_EQ(Velaset({"add", mip, library, "--dest", "S", "--register"}).code, 0);
    EXPECT_EQ(Velaset({"add", mip, "--dest", "H", help, library}).code, 0); // lib: duplicate
    const Project project = Loaded();
    ASSERT_EQ(project.Files().size(), 2u);
    EXPECT_EQ(project.Files()[0].destination, "S*");
    EXPECT_EQ(project.Files()[1].destination, "H");
}

TEST_F(CliCommandsTest, RemoveAndDestFollowTheFilesPageRules) {
    const std::string a = folder.WriteFile("src/a.exe");
    const std::string b = folder.WriteFile("src/b.ocx");
    const std::string c = folder.WriteFile("src/c.txt");
    ASSERT_EQ(Velaset({"add", mip, a, b, c}).code, 0);
    EXPECT_EQ(Velaset({"dest", mip, b, "S*"}).code, 0);
    EXPECT_EQ(Velaset({"dest", mip, c, "D*"}).code, 2);
    EXPECT_EQ(Velaset({"dest", mip, b, "W*"}).code, 2);
    EXPECT_EQ(Velaset({"dest", mip, b, "x"}).code, 2);
    EXPECT_EQ(Velaset({"dest", mip, folder.Path("src/none.exe"), "D"}).code, 2);
    EXPECT_EQ(Velaset({"remove", mip, folder.Path("src/none.exe")}).code, 2);
    EXPECT_EQ(Velaset({"remove", mip, c, a}).code, 0);
    const Project project = Loaded();
    ASSERT_EQ(project.Files().size(), 1u);
    EXPECT_EQ(project.Files()[0].path, b);
    EXPECT_EQ(project.Files()[0].destination, "S*");
}

// A project that came with a fault (here a name with two "%", which the load takes) is
// refused by the build, but each change that brings no fault of its own is taken, also
// one that moves the faulty entry in its list.
TEST_F(CliCommandsTest, AProjectThatCameWithAFaultIsMendedOneChangeAtATime) {
    Project project = Loaded();
    ASSERT_TRUE(project.AddFile({folder.WriteFile("src/a.txt"), "D"}).ok);
    ASSERT_TRUE(project.AddFile({folder.WriteFile("src/a%b%.txt"), "D"}).ok);
    ASSERT_TRUE(SaveProject(project).ok);
    const CommandRun built = Velaset({"inf", mip});
    EXPECT_EQ(built.code, 1);
    EXPECT_NE(built.err.find("Il campo Files 2 (\"a%b%.txt\") contiene più di un segno %"),
              std::string::npos)
        << built.err;
    EXPECT_EQ(Velaset({"remove", mip, folder.Path("src/a.txt")}).code, 0);
    EXPECT_EQ(Velaset({"set", mip, "Caption=Demo"}).code, 0);
    const CommandRun refused = Velaset({"set", mip, "Caption=Demo", "NomeGruppo=A;B"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("Il campo NomeGruppo (\"A;B\") non può contenere il punto e "
                               "virgola"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(Velaset({"remove", mip, folder.Path("src/a%b%.txt")}).code, 0);
    EXPECT_EQ(Velaset({"inf", mip}).code, 0);
}

// A path is stored tidy, so that any spelling of it adds one entry and finds it again.
TEST_F(CliCommandsTest, AnySpellingOfAPathIsOneEntry) {
    const std::string a = folder.WriteFile("src/a.exe");
    const std::string spelt = folder.Path("src/../src/./a.exe");
    ASSERT_EQ(Velaset({"add", mip, spelt, folder.Path("src//a.exe")}).code, 0);
    ASSERT_EQ(Loaded().Files().size(), 1u);
    EXPECT_EQ(Loaded().Files()[0].path, a);
    EXPECT_EQ(Velaset({"link", mip, "add", spelt, "A", "P"}).code, 0);
    EXPECT_EQ(Velaset({"dest", mip, folder.Path("altro/../src/a.exe"), "W"}).code, 0);
    EXPECT_EQ(Velaset({"remove", mip, folder.Path("src/./a.exe")}).code, 0);
    EXPECT_TRUE(Loaded().Files().empty());
    EXPECT_TRUE(Loaded().Links().empty());
}

// The dialogs' own rules are the dialogs' tests; here what the commands add to them.
TEST_F(CliCommandsTest, LinkRegAndMsgCommandsTakeTheirArgumentsToTheDialogs) {
    const std::string app = folder.WriteFile("src/app.exe");
    const std::string sys = folder.WriteFile("src/sys.dll");
    ASSERT_EQ(Velaset({"add", mip, app, sys, "--dest", "S"}).code, 0);
    ASSERT_EQ(Velaset({"dest", mip, app, "D"}).code, 0);
    EXPECT_EQ(Velaset({"link", mip, "add", sys, "Sistema", "P"}).code, 2);
    EXPECT_EQ(Velaset({"link", mip, "add", app, "Demo", "P"}).code, 0);
    EXPECT_EQ(Velaset({"link", mip, "add", app, "Demo", "D"}).code, 0);
    EXPECT_EQ(Velaset({"link", mip, "add", app, "Demo", "X"}).code, 2);
    EXPECT_EQ(Velaset({"link", mip, "remove", "Demo", "D"}).code, 0);
    EXPECT_EQ(Loaded().Links(), (std::vector<LinkEntry>{{"app.exe", "Demo", "P"}}));
    EXPECT_EQ(Velaset({"link", mip, "remove", "Altro"}).code, 2);

    EXPECT_EQ(Velaset({"reg", mip, "add", "HKLM", "Software\\Demo", "Path", "%PROGDIR%"}).code, 0);
    EXPECT_EQ(Velaset({"reg", mip, "add", "HKEY_USERS", "X", "", "1"}).code, 0);
    EXPECT_EQ(Velaset({"reg", mip, "add", "HKXX", "K", "", "1"}).code, 2);
    EXPECT_EQ(Velaset({"reg", mip, "remove", "3"}).code, 2);
    EXPECT_EQ(Velaset({"reg", mip, "remove", "0"}).code, 2);
    EXPECT_EQ(Velaset({"reg", mip, "remove", "1"}).code, 0);
    EXPECT_EQ(Loaded().RegistryEntries(), std::vector<std::string>{"HCU,X,\"\",,\"1\""});

    EXPECT_EQ(Velaset({"msg", mip, "Stop", "Fermato."}).code, 0);
    EXPECT_EQ(Velaset({"msg", mip, "Fine", "x"}).code, 2);
    ASSERT_EQ(Velaset({"set", mip, "Distribuzione=1"}).code, 0);
    EXPECT_EQ(Velaset({"msg", mip, "Disinstalla", "Via?"}).code, 2);
    EXPECT_EQ(Loaded().Stop, "Fermato.");
    EXPECT_EQ(Loaded().Disinstalla, kDefaultDisinstalla);
    ASSERT_EQ(Velaset({"set", mip, "Gruppo=0"}).code, 0);
    EXPECT_EQ(Velaset({"link", mip, "add", app, "Demo", "P"}).code, 2);
}

TEST_F(CliCommandsTest, InfWritesBesideTheProjectInTheVariantOfItsFlag) {
    const std::string app = folder.WriteFile("src/app.exe");
    ASSERT_EQ(Velaset({"add", mip, app}).code, 0);
    ASSERT_EQ(Velaset({"inf", mip}).code, 0);
    const std::string full = ScratchFolder::ReadFile(folder.Path("setup.inf"));
    EXPECT_NE(full.find("[Splash.CopyRD]"), std::string::npos);
    const std::string other = folder.Path("dist.inf");
    ASSERT_EQ(Velaset({"inf", mip, "-o", other, "--dist"}).code, 0);
    EXPECT_EQ(ScratchFolder::ReadFile(other).find("[Splash.CopyRD]"), std::string::npos);
    ASSERT_EQ(Velaset({"set", mip, "Distribuzione=1"}).code, 0);
    ASSERT_EQ(Velaset({"inf", mip}).code, 0);
    EXPECT_EQ(ScratchFolder::ReadFile(folder.Path("setup.inf")), ScratchFolder::ReadFile(other));
}

TEST_F(CliCommandsTest, InfFailureExitsOneWithPathAndReason) {
    const std::string app = folder.WriteFile("src/app.exe");
    ASSERT_EQ(Velaset({"add", mip, app}).code, 0);
    const std::string missing = folder.Path("no/setup.inf");
    const CommandRun noFolder = Velaset({"inf", mip, "-o", missing});
    EXPECT_EQ(noFolder.code, 1);
    EXPECT_NE(noFolder.err.find("Impossibile creare " + missing + ", "), std::string::npos);

    // A file that has gone stops the run (ProjectLossTest); dropped on purpose, the
    // script is written without it: no empty line, no "=42".
    std::filesystem::remove(std::filesystem::path(app));
    ASSERT_EQ(Velaset({"remove", mip, "--missing"}).code, 0);
    ASSERT_EQ(Velaset({"inf", mip}).code, 0);
    EXPECT_EQ(ScratchFolder::ReadFile(folder.Path("setup.inf")).find("\r\n=42"), std::string::npos);
    EXPECT_EQ(Velaset({"inf", mip, "extra"}).code, 2);
}

TEST_F(CliCommandsTest, ShowFilesListsShortNamesAndCodes) {
    const std::string library = folder.WriteFile("src/lib.dll");
    const std::string help = folder.WriteFile("src/Guida lunga.hlp");
    ASSERT_EQ(Velaset({"add", mip, library, "--register"}).code, 0);
    ASSERT_EQ(Velaset({"add", mip, help, "--dest", "H"}).code, 0);
    const CommandRun plain = Velaset({"show", mip});
    const CommandRun run = Velaset({"show", mip, "--files"});
    ASSERT_EQ(run.code, 0);
    ASSERT_EQ(run.out.substr(0, plain.out.size()), plain.out);
    const std::string list = run.out.substr(plain.out.size());
    EXPECT_NE(list.find("lib.dll       D*  " + library + "\n"), std::string::npos) << list;
    const std::string shortHelp = ShortName(help);
    EXPECT_NE(list.find(shortHelp + std::string(14 - shortHelp.size(), ' ') + "H   " + help),
              std::string::npos)
        << list;
}

} // namespace
} // namespace velaset

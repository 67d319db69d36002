// Hostile values through every command that stores a text: each accepted one reaches
// setup.inf in the form its reader takes back (the installer's profile calls drop blanks
// round a value and one pair of enclosing quotes; the setup engine reads "%%" as "%" and
// "" within quotes as a quote), and the project still builds; each refused one leaves
// the project file as it was.
#ifndef _WIN32
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "tests/cli/command_run.h"
#include "tests/package/fake_stub.h"

namespace {

using velaset_test::CommandRun;
using velaset_test::ScratchFolder;
using Args = std::vector<std::string>;

class FieldDoors : public velaset_test::VelasetTest {
  protected:
    void SetUp() override {
        // Stand-ins for the stub and the runtime, so that a build runs anywhere.
        const std::string system = folder.MakeFolder("sistema");
        ScratchFolder::WriteBytes(folder.Path("sistema/Avviora.exe"), FakeStubImage(14336));
        ScratchFolder::WriteBytes(folder.Path("sistema/avviora.dll"),
                                  FakeLibrary(kMachineI386, "runtime"));
        setenv("VELASET_SYSTEM_DIR", system.c_str(), 1);
        ASSERT_EQ(Run({"new", "@", "--title", "Demo"}).code, 0);
        ASSERT_EQ(Run({"add", "@", folder.WriteFile("src/app.exe", "MZ")}).code, 0);
        ASSERT_EQ(Run({"link", "@", "add", "app.exe", "App", "P"}).code, 0);
    }
    void TearDown() override { unsetenv("VELASET_SYSTEM_DIR"); }

    CommandRun Run(Args args) {
        for (std::string& arg : args)
            arg = arg == "@" ? mip : arg;
        return Velaset(std::move(args));
    }

    std::string mip = folder.Path("Demo.mip");
};

TEST_F(FieldDoors, AcceptedValuesReachSetupInfAsTheirReadersTakeThemBack) {
    const std::string lungo = folder.WriteFile("src/Lungo 5% nome.exe", "MZ");
    const std::string uninstallKey = "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\";
    const struct {
        Args args;
        std::vector<std::string> lines; // whole lines of setup.inf, in UTF-8
    } doors[] = {
        {{"set", "@", "Titolo=Uno 100%"},
         {"42=\"Uno 100%%\",\"\",1",
          uninstallKey + "Uninstall\\Uno 100%%,\"UninstallString\", ,\"rundll32.exe "
                         "avviora.dll,Disinstalla %PROGDIR%\""}},
        {{"set", "@", "Caption= avanti"}, {"Caption=\" avanti\""}},
        {{"set", "@", "CaptionB=dietro "}, {"Title=\"dietro \""}},
        {{"set", "@", "Etic2A=Riga\nDue"}, {"Label2=Riga\xc2\xb6" "Due"}},
        {{"set", "@", "LabelControl=50% \"x\""},
         {uninstallKey + "Uninstall\\Uno 100%%,\"DisplayName\", ,\"50%% \"\"x\"\"\""}},
        {{"set", "@", "DefDir=Uno, due 5%"}, {"DIRDEF=\"Uno, due 5%\""}},
        {{"set", "@", "NomeGruppo=Gr 10%"}, {"setup.ini , progman.groups, ,\"group42=Gr 10%\""}},
        {{"set", "@", "Uninstall=1", "UninstallString=Via 5%"},
         {"setup.ini, group42,,\"\"\"Via 5%%\"\",\"\"rundll32.exe avviora.dll,Disinstalla "
          "%PROGDIR%\"\",\"\"%11%\\shell32.dll\"\",31,Gr 10%\""}},
        {{"set", "@", "Sfondo=1", "TestoSfondo=\"citato\" 5%"}, {"Title=\"citato\" 5%"}},
        {{"msg", "@", "Errore", " 100% "}, {"FailureMsg=\" 100% \""}},
        {{"msg", "@", "Disinstalla", "\"Via?\""}, {"AlertMsg=\"\"Via?\"\""}},
        {{"link", "@", "add", "app.exe", "L 5% q", "P"},
         {"setup.ini , group42, , \"\"\"L 5%% q\"\", \"\"%PROGDIR%\\app.exe\"\",,, L 5%% "
          "q,\"%PROGDIR%\"\""}},
        // An INF expression of the author's: as written.
        {{"reg", "@", "add", "HKLM", "Software\\A%b", "N 5%", "1%"},
         {"HKLM,Software\\A%b,\"N 5%\",,\"1%\""}},
        // A long name: the file under its short name, the long one given back by the
        // setup engine and taken away by the runtime; the link's program within quotes.
        {{"add", "@", lungo}, {"LUNGO5~1.EXE"}},
        {{"link", "@", "add", "Lungo 5% nome.exe", "Collegamento", "D"},
         {uninstallKey + "RenameFiles\\SplashD,LUNGO5~1.EXE,,\"Lungo 5% nome.exe\"",
          uninstallKey + "DeleteFiles\\SplashD,LUNGO5~1.EXE,,\"Lungo 5% nome.exe\"",
          "setup.ini , group2, , \"\"\"Collegamento\"\", \"\"\"\"\"\"%PROGDIR%\\Lungo 5%% "
          "nome.exe\"\"\"\"\"\",,, Collegamento,\"%PROGDIR%\"\""}},
        {{"set", "@", "ChkLancio=1", "Lancio=Lungo 5% nome.exe"}, {}},
    };
    for (const auto& door : doors) {
        const CommandRun run = Run(door.args);
        ASSERT_EQ(run.code, 0) << door.args.back() << ": " << run.err;
    }
    ASSERT_EQ(Run({"inf", "@", "-o", folder.Path("setup.inf")}).code, 0);
    const std::string inf = "\r\n" + ScratchFolder::ReadFile(folder.Path("setup.inf"));
    for (const auto& door : doors) {
        for (const std::string& line : door.lines) {
            std::string ansi;
            ASSERT_TRUE(platform::Utf8ToWindows1252(line, &ansi)) << line;
            EXPECT_NE(inf.find("\r\n" + ansi + "\r\n"), std::string::npos) << line;
        }
    }
    EXPECT_NE(inf.find("\\Uno, due 5%\\Lungo 5% nome.exe\"\r\n"), std::string::npos) << "Run=";
    const CommandRun build = Run({"build", "@", "-o", folder.Path("S.exe"), "--quiet"});
    EXPECT_EQ(build.code, 0) << build.err;
}

// Refused: exit code 2 and the sentence that names the field, the file as it was.
TEST_F(FieldDoors, RefusedValuesLeaveTheProjectFile) {
    const std::string before = ScratchFolder::ReadFile(mip);
    const struct {
        Args args;
        const char* message;
    } cases[] = {
        {{"set", "@", "NomeGruppo=Uno, due"}, "Il campo NomeGruppo (\"Uno, due\") non può"},
        {{"set", "@", "Titolo=Demo;"}, "Il campo Titolo (\"Demo;\") non può"},
        {{"msg", "@", "Errore", ""}, "il testo non può essere vuoto"},
        {{"link", "@", "add", "app.exe", "Uno; due", "P"},
         "Il nome del collegamento (\"Uno; due\") non può contenere il punto e virgola"},
        // Two names that Windows would make one link file of.
        {{"link", "@", "add", "app.exe", "APP", "P"},
         "I collegamenti \"App\" e \"APP\" hanno nomi che differiscono al più per maiuscole"},
    };
    for (const auto& c : cases) {
        const CommandRun run = Run(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ScratchFolder::ReadFile(mip), before) << c.message;
    }
}

} // namespace
#endif

// The script on disk: refusals name the field or file at fault and leave no script, a
// complete script replaces an older one, and no temporary file is left behind.
#include "builder/script/script_file.h"
#include "builder/script/setup_script.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "platform/work_folder.h"
#include "tests/support/no_short_names.h"
#include "tests/support/sample_project.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

// True when a working file of the file named name is left in folder.
bool WorkingFileLeft(const std::string& folder, const std::string& name) {
    std::vector<std::string> names;
    EXPECT_TRUE(platform::ListFolder(folder, &names).ok);
    for (const std::string& entry : names) {
        if (platform::IsWorkingFileName(entry, name))
            return true;
    }
    return false;
}

class ScriptFileTest : public ::testing::Test {
  protected:
    ScratchFolder folder;
    Project project = velaset_test::SampleProject(folder);
    std::string script = folder.Path("setup.inf");

    bool ScriptExists() const { return platform::PathExists(script); }
    bool TemporaryLeft() const { return WorkingFileLeft(folder.Path(), "setup.inf"); }
};

TEST_F(ScriptFileTest, VanishedFileFailsNamingItAndWritesNothing) {
    const std::string help = project.Files()[1].path;
    std::filesystem::remove(std::filesystem::path(help));
    const platform::Status status = WriteSetupScript(project, ScriptVariant::Full, script);
    ASSERT_FALSE(status.ok);
    EXPECT_NE(status.message.find(help), std::string::npos) << status.message;
    EXPECT_FALSE(ScriptExists());
    EXPECT_FALSE(TemporaryLeft());
}

// A field that would break its line, or that the setup engine would read as more fields
// than one: a quote would end a quoted text early, a title cut short or empty would name
// another uninstall key (when empty, the list of every installed program). The title
// names the uninstall key and the package's files: it is refused in both scripts; link
// fields only where the variant writes links.
TEST_F(ScriptFileTest, FieldThatWouldBreakItsLineIsRefusedByName) {
    // The field's text, or (text null) the name of link 1 or 2 or registry entry 1.
    struct Case {
        const char* field;
        std::string Project::*text;
        std::string value;
        bool full;
        bool dist;
    };
    const Case cases[] = {
        {"Caption", &Project::Caption, "Due\r\nrighe", true, true},
        {"EticB", &Project::EticB, "fine\n", true, true},
        {"Lancio", &Project::Lancio, "Demo.exe\r", true, true},
        {"Stop", &Project::Stop, std::string("a\0b", 3), true, true},
        {"Titolo", &Project::Titolo, "Demo \xce\xa9", true, true}, // Greek omega
        {"Link 2", nullptr, "Demo\n", true, true},
        {"Link 1", nullptr, "Demo; prova", true, false},
        {"Chiavi 1", nullptr, "HKLM,A,\"\",,\"riga\r\nB\"", true, true},
        {"Etic2A", &Project::Etic2A, "Uno \xc2\xb6 due", true, true}, // the mark
        // Etic2A keeps its lines through the encoded form; the euro sign is Windows-1252.
        {"Etic2A", &Project::Etic2A, "Riga uno\r\nRiga due, 5 \xe2\x82\xac", false, false},
        // A field that the script does not write is still one the project file cannot hold.
        {"TestoSfondo", &Project::TestoSfondo, "x\ny", true, true},
        {"TestoSfondo", &Project::TestoSfondo, "x, \"y\"; 100%", false, false},
        {"Titolo", &Project::Titolo, "", true, true},
        {"Titolo", &Project::Titolo, "Demo, seconda", true, true},
        {"Titolo", &Project::Titolo, ";Demo", true, true},
        {"Titolo", &Project::Titolo, "Demo\\1.0 (prova)", true, true},
        {"Titolo", &Project::Titolo, "Demo\",,\"x", true, true},
        {"DefDir", &Project::DefDir, "Demo\"x", true, true},
        // Within quotes a quote is carried doubled.
        {"LabelControl", &Project::LabelControl, "Demo \"1.0\"", false, false},
        {"NomeGruppo", &Project::NomeGruppo, "Demo\",,\"x", true, false},
        {"UninstallString", &Project::UninstallString, "Disinstalla\"\",,x", true, false},
        {"UninstallString", &Project::UninstallString, "Disinstalla Demo, 1.0", true, false},
        // Texts that only the installer stub reads keep their quotes.
        {"Caption", &Project::Caption, "\"Demo\", l'installazione", false, false},
    };
    for (const Case& c : cases) {
        Project spoilt = project;
        if (c.text != nullptr)
            spoilt.*c.text = c.value;
        else if (c.field[0] == 'C')
            spoilt.ReplaceRegistryEntry(0, c.value);
        else
            spoilt.ReplaceLink(c.field[5] - '1',
                               {"Demo.exe", c.value, c.field[5] == '1' ? "P" : "D"});
        for (ScriptVariant variant : {ScriptVariant::Full, ScriptVariant::DistributionOnly}) {
            const bool refused = variant == ScriptVariant::Full ? c.full : c.dist;
            const platform::Status status = WriteSetupScript(spoilt, variant, script);
            EXPECT_EQ(!status.ok, refused) << c.field << ": " << status.message;
            if (refused) {
                EXPECT_EQ(status.message.rfind(std::string("Il campo ") + c.field + " ", 0), 0u)
                    << status.message;
                EXPECT_FALSE(ScriptExists()) << c.field;
            }
            std::filesystem::remove(std::filesystem::path(script));
            EXPECT_FALSE(TemporaryLeft()) << c.field;
        }
    }
}

// Windows would install two files of one folder whose names differ only in letter case
// onto one file; in two folders they are two files.
TEST_F(ScriptFileTest, FilesOfOneFolderDifferingOnlyInCaseAreRefused) {
    const std::string other = folder.WriteFile("Altro/DEMO.EXE");
    for (const char* destination : {"D", "W"}) {
        Project both = project;
        ASSERT_TRUE(both.AddFile({other, destination}).ok);
        const platform::Status status = WriteSetupScript(both, ScriptVariant::Full, script);
        EXPECT_EQ(status.ok, destination[0] == 'W') << status.message;
        if (!status.ok)
            EXPECT_NE(status.message.find("differiscono solo per maiuscole"), std::string::npos)
                << status.message;
    }
}

TEST_F(ScriptFileTest, RefusalLeavesAnEarlierScriptUntouched) {
    ASSERT_TRUE(WriteSetupScript(project, ScriptVariant::Full, script).ok);
    const std::string before = ScratchFolder::ReadFile(script);
    project.Caption = "rotta\n";
    EXPECT_FALSE(WriteSetupScript(project, ScriptVariant::Full, script).ok);
    EXPECT_EQ(ScratchFolder::ReadFile(script), before);
}

// How a script replaces an older file, and what a missing folder answers, is the file
// replacement's (tests/platform): the writer hands its status on as it is.

// The golden scripts hold HCU entries written as HKU; only the root token changes.
TEST(RegistryEntryForScript, ChangesOnlyTheRootTokenHcu) {
    EXPECT_EQ(RegistryEntryForScript("HCU,Software\\Demo"), "HKU,Software\\Demo");
    EXPECT_EQ(RegistryEntryForScript("HCUX,a"), "HCUX,a");
    EXPECT_EQ(RegistryEntryForScript("HCU"), "HKU");
}

#ifndef _WIN32
// Files that the volume gives no 8.3 name stand in the script under the names the
// package makes, and the long-name sections give them back their names; a file with a
// valid 8.3 name of its own stays as it is.
TEST(ScriptOnAVolumeWithoutShortNames, NamesEachFileByItsPackageNameEverywhere) {
    ScratchFolder folder;
    Project p;
    p.Titolo = "Nomi";
    p.DefDir = "Nomi";
    p.SetGruppo(1);
    p.NomeGruppo = "Nomi";
    ASSERT_TRUE(p.AddFile({folder.WriteFile("src/Leggimi per primo.txt", "1"), "D"}).ok);
    ASSERT_TRUE(p.AddFile({folder.WriteFile("src/a+b.txt", "2"), "D"}).ok);
    ASSERT_TRUE(p.AddFile({folder.WriteFile("src/Estensione lunga.dll", "3"), "S*"}).ok);
    ASSERT_TRUE(p.AddFile({folder.WriteFile("src/readme.txt", "4"), "D"}).ok);
    ASSERT_TRUE(p.AddLink({"Leggimi per primo.txt", "Leggimi", "P"}).ok);
    velaset_test::NoShortNamesVolume volume;
    std::string bytes;
    const platform::Status status = BuildSetupScript(p, ScriptVariant::Full, &bytes);
    ASSERT_TRUE(status.ok) << status.message;
    for (const char* part : {
             "\r\n[Splash.CopyFiles]\r\nLEGGIM~1.TXT\r\nA_B~1.TXT\r\nreadme.txt\r\nsetup.inf\r\n",
             "\r\n[Splash.CopySys]\r\nESTENS~1.DLL\r\n\r\n",
             "\r\n[SourceDisksFiles]\r\nLEGGIM~1.TXT=42\r\nA_B~1.TXT=42\r\nESTENS~1.DLL=42\r\n"
             "readme.txt=42\r\n",
             "\r\n[SplashRenameFilesD]\r\n"
             "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\SplashD,,,"
             "\"%PROGDIR%\\\"\r\n"
             "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\SplashD,"
             "LEGGIM~1.TXT,,\"Leggimi per primo.txt\"\r\n"
             "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\SplashD,"
             "A_B~1.TXT,,\"a+b.txt\"\r\n\r\n",
             "DeleteFiles\\SplashS,ESTENS~1.DLL,,\"Estensione lunga.dll\"\r\n",
             "\r\n[SelfRegisterS]\r\nNb=1\r\nDLL_1=Estensione lunga.dll\r\n",
         }) {
        EXPECT_NE(bytes.find(part), std::string::npos) << part << "\n" << bytes;
    }
    EXPECT_EQ(bytes.find("\r\na+b.txt"), std::string::npos) << "no line starts with a long name";
    EXPECT_EQ(bytes.find("\r\nLeggimi per primo.txt"), std::string::npos);
}
#endif

} // namespace
} // namespace velaset

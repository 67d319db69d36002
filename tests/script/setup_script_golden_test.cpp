// The setup script byte for byte: the worked example in both variants and the cases a
// careless writer gets wrong, each against a golden file made once and read by eye.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "builder/project/short_name_clash.h"
#include "builder/script/script_file.h"
#include "platform/text_encoding.h"
#include "tests/script/script_test_support.h"
#include "tests/support/sample_project.h"

namespace velaset {
namespace {

using testing::Golden;
using velaset_test::ScratchFolder;

// Writes the script through the real writer and reads the file back.
std::string WrittenScript(const Project& project, ScriptVariant variant, ScratchFolder& folder) {
    const std::string path = folder.Path("out/setup.inf");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const platform::Status status = WriteSetupScript(project, variant, path);
    EXPECT_TRUE(status.ok) << status.message;
    return ScratchFolder::ReadFile(path);
}

// With VELASET_WRITE_GOLDEN=1 a native run writes the golden file instead of comparing,
// for a person to read before it is committed.
void ExpectGolden(const std::string& name, const std::string& actual) {
#ifndef _WIN32
    if (const char* write = std::getenv("VELASET_WRITE_GOLDEN"); write && *write == '1') {
        std::ofstream(std::string(VELASET_TEST_DATA_DIR) + "/script/" + name, std::ios::binary)
            << actual;
        return;
    }
#endif
    const std::string golden = Golden(name);
    ASSERT_FALSE(golden.empty()) << name;
    EXPECT_EQ(actual, golden) << name;
}

// The golden files hold the Windows short name GUIDAL~1.HLP. Wine hashes its short
// names (GUID~T2Q.HLP), so there the name the system gives takes its place.
std::string HelpShortName(const Project& project) {
    const std::string shortName = ShortName(project.Files()[1].path);
#ifndef _WIN32
    EXPECT_EQ(shortName, "GUIDAL~1.HLP");
#endif
    EXPECT_FALSE(shortName.empty());
    return shortName;
}

// A project without files, links or registry entries.
Project EmptyProject() {
    Project p;
    p.Titolo = "Vuoto";
    p.Caption = "Vuoto";
    p.Etic1A = "Benvenuti";
    p.Etic2A = "Prima riga\r\nseconda riga";
    p.DefCartella = "C:\\Programmi\\";
    p.DefDir = "Vuoto";
    p.NomeGruppo = "Vuoto";
    p.LabelControl = "Vuoto 1.0";
    return p;
}

// Gruppo 0 with Uninstall 1, DlgEnd 0, Sfondo 1, registry entries on the Run key in
// mixed case, without a comma and under HKEY_USERS, files of every code.
Project NoGroupProject(ScratchFolder& folder) {
    Project p = EmptyProject();
    p.Titolo = "Senza";
    p.SetGruppo(0);
    p.SetUninstall(1);
    p.SetDlgEnd(0);
    p.CaptionB = "Non scritto";
    p.SetSfondo(1);
    p.TestoSfondo = "Installazione di Senza, versione \"2\"";
    EXPECT_TRUE(p.AddFile({folder.WriteFile("a/prog.exe"), "D"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("a/lib.dll"), "S*"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("a/win.ini"), "W*"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("a/note.txt"), "d"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("a/drv.inf"), "I"}));
    EXPECT_TRUE(
        p.AddRegistryEntry("hklm,SOFTWARE\\microsoft\\Windows\\currentversion\\RUN,\"Senza\",,"
                           "\"%PROGDIR%\\prog.exe\""));
    EXPECT_TRUE(p.AddRegistryEntry("VoceSenzaVirgola"));
    EXPECT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\""));
    EXPECT_TRUE(p.AddRegistryEntry("HKCU,Software\\Senza\\Run,\"A\",,\"B\""));
    return p;
}

// A group with desktop links only, and the register marks of two "D" files.
Project DesktopOnlyProject(ScratchFolder& folder) {
    Project p = EmptyProject();
    p.Titolo = "Scrivania";
    p.NomeGruppo = "Gruppo Scrivania";
    EXPECT_TRUE(p.AddFile({folder.WriteFile("b/app.exe"), "D"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("b/first.ocx"), "D*"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("b/second.dll"), "D"}));
    EXPECT_TRUE(p.AddFile({folder.WriteFile("b/help.hlp"), "H"}));
    EXPECT_TRUE(p.AddLink({"app.exe", "Applicazione", "D"}));
    EXPECT_TRUE(p.AddLink({"second.dll", "Seconda, con virgola", "D"}));
    p.SetUninstall(1);
    p.UninstallString = "Rimuovi";
    p.SetChkLancio(1);
    p.Lancio = "app.exe /primo";
    return p;
}

// The writer's own text for a project as it is given, in Windows-1252: the entries that
// a build refuses before writing (out of their forms) show how the writer places them.
std::string WriterText(const Project& project, ScriptVariant variant, ScratchFolder&) {
    std::vector<ScriptFile> files;
    EXPECT_TRUE(ResolveScriptFiles(project, &files).ok);
    std::string bytes;
    EXPECT_TRUE(platform::Utf8ToWindows1252(SetupScriptText(project, files, variant), &bytes));
    return bytes;
}

TEST(SetupScriptGolden, EntriesOutOfTheirFormsAreRefusedBeforeAnythingIsWritten) {
    ScratchFolder folder;
    const Project project = NoGroupProject(folder);
    const std::string path = folder.Path("setup.inf");
    const platform::Status status = WriteSetupScript(project, ScriptVariant::Full, path);
    ASSERT_FALSE(status.ok);
    EXPECT_EQ(status.message.rfind("La voce 3 di [Files] (", 0), 0u) << status.message;
    EXPECT_NE(status.message.find("win.ini,W*) non è valida: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The worked example with the package keys: for the machine, and for one user (where
// every file goes into the installation folder and the entry under HKCU).
Project WithPackageKeys(ScratchFolder& folder, Scope scope) {
    Project p = velaset_test::SampleProject(folder);
    p.Versione = "2.1";
    p.Editore = "Rossi & C. 100%";
    p.SitoWeb = "https://example.org/demo";
    p.Ambito = scope;
    if (scope == Scope::User) {
        p.SetFileDestination(1, "D");
        p.SetFileDestination(2, "D");
        p.ReplaceRegistryEntry(0, "HKCU,Software\\Demo,\"Versione\",,\"1.0\"");
    }
    return p;
}

struct GoldenCase {
    const char* golden;
    ScriptVariant variant;
    std::function<Project(ScratchFolder&)> make;
    // The script as written to disk, or the writer's text alone.
    std::function<std::string(const Project&, ScriptVariant, ScratchFolder&)> render =
        WrittenScript;
};

class GoldenScript : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenScript, MatchesGoldenFile) {
    ScratchFolder folder;
    const Project project = GetParam().make(folder);
    std::string actual = GetParam().render(project, GetParam().variant, folder);
    if (project.Files().size() > 1 &&
        platform::SourceFileName(project.Files()[1].path) == "Guida lunga.hlp")
        actual = testing::ReplaceAll(actual, HelpShortName(project), "GUIDAL~1.HLP");
    ExpectGolden(GetParam().golden, actual);
}

Project Sample(ScratchFolder& folder) {
    return velaset_test::SampleProject(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GoldenScript,
    ::testing::Values(
        GoldenCase{"worked_example.inf", ScriptVariant::Full, Sample},
        GoldenCase{"worked_example_dist.inf", ScriptVariant::DistributionOnly, Sample},
        GoldenCase{"package_keys.inf", ScriptVariant::Full,
                   [](ScratchFolder& f) { return WithPackageKeys(f, Scope::Machine); }},
        GoldenCase{"package_keys_user.inf", ScriptVariant::Full,
                   [](ScratchFolder& f) { return WithPackageKeys(f, Scope::User); }},
        GoldenCase{"empty_files.inf", ScriptVariant::Full,
                   [](ScratchFolder&) { return EmptyProject(); }},
        GoldenCase{"empty_files_dist.inf", ScriptVariant::DistributionOnly,
                   [](ScratchFolder&) { return EmptyProject(); }},
        GoldenCase{"no_group.inf", ScriptVariant::Full, NoGroupProject, WriterText},
        GoldenCase{"no_group_dist.inf", ScriptVariant::DistributionOnly, NoGroupProject,
                   WriterText},
        GoldenCase{"desktop_only.inf", ScriptVariant::Full, DesktopOnlyProject, WriterText}));

} // namespace
} // namespace velaset

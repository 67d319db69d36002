#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::FileEntry;
using velaset::LinkEntry;
using velaset::Project;

// A used project, reset, saves as a new project given the values a reset keeps: the
// texts of a new project are pinned by the new project's file (ProjectSave).
TEST(NewProject, SetsTheNewProjectValuesAndKeepsTheOthers) {
    const auto keptValues = [](Project* p) {
        p->SetButtonBrowse(0);
        p->SetDistribuzione(1);
        p->SetDlgEnd(0);
        p->SetUninstall(1);
        p->UninstallString = "Rimuovi";
    };
    Project p;
    keptValues(&p);
    p.SetChkLancio(1);
    p.Lancio = "vecchio.exe";
    p.SetSfondo(1);
    p.TestoSfondo = "sfondo";
    p.Errore = "altro";
    p.Architettura = velaset::Architecture::X64;
    ASSERT_TRUE(p.AddFile({"C:\\a.exe", "D"}));
    ASSERT_TRUE(p.AddLink({"a.exe", "A", "P"}));
    ASSERT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\""));
    const std::string folder = platform::WithoutTrailingSeparator(
        platform::SourceFolderPart(platform::JoinSourcePath("cartella", "x")));
    p.ResetToNewProject(folder, "C:\\Program Files\\");
    Project fresh;
    fresh.ResetToNewProject(folder, "C:\\Program Files\\");
    keptValues(&fresh);

    EXPECT_EQ(p.ProgFile, platform::JoinSourcePath("cartella", "Nuovo Progetto.mip"));
    EXPECT_FALSE(p.States().testoSfondoEditable);
    EXPECT_FALSE(p.States().lancioEditable);
    velaset_test::ScratchFolder scratch;
    ASSERT_TRUE(velaset::SaveProjectTo(p, scratch.Path("usato.mip")));
    ASSERT_TRUE(velaset::SaveProjectTo(fresh, scratch.Path("nuovo.mip")));
    EXPECT_EQ(velaset_test::ScratchFolder::ReadFile(scratch.Path("usato.mip")),
              velaset_test::ScratchFolder::ReadFile(scratch.Path("nuovo.mip")));
}

TEST(NewProject, KeepsLancioWhenChkLancioWasOff) {
    Project p;
    p.Lancio = "resta.exe";
    p.ResetToNewProject("C:", "\\");
    EXPECT_EQ(p.Lancio, "resta.exe");
}

TEST(Dependencies, FlagsDriveTheirFields) {
    Project p;
    p.SetSfondo(1);
    EXPECT_TRUE(p.States().testoSfondoEditable);
    EXPECT_EQ(p.TakeFocusRequest(), "TestoSfondo");
    p.TestoSfondo = "testo";
    p.SetSfondo(0);
    EXPECT_EQ(p.TestoSfondo, "");
    EXPECT_FALSE(p.States().testoSfondoEditable);

    p.UninstallString = "prima";
    p.SetUninstall(1);
    EXPECT_EQ(p.UninstallString, "Disinstalla");
    EXPECT_EQ(p.TakeFocusRequest(), "UninstallString");
    p.SetUninstall(0);
    EXPECT_EQ(p.UninstallString, "");
    EXPECT_FALSE(p.States().uninstallStringEditable);

    p.SetChkLancio(1);
    EXPECT_TRUE(p.States().lancioEditable);
    p.Lancio = "a.exe /x";
    p.SetChkLancio(0);
    EXPECT_EQ(p.Lancio, "");

    p.CaptionB = "Fine";
    p.SetDlgEnd(0);
    EXPECT_FALSE(p.States().captionBEditable);
    EXPECT_FALSE(p.States().eticBEditable);
    EXPECT_EQ(p.CaptionB, "Fine");
    p.SetDlgEnd(1);
    EXPECT_TRUE(p.States().captionBEditable);
}

TEST(Dependencies, SettingAFlagToItsValueChangesNothing) {
    Project p;
    p.SetUninstall(1);
    p.UninstallString = "Disinstalla Demo";
    p.TakeFocusRequest();
    p.SetUninstall(1);
    EXPECT_EQ(p.UninstallString, "Disinstalla Demo");
    EXPECT_EQ(p.TakeFocusRequest(), "");
}

TEST(Dependencies, ClearingGruppoEmptiesTheLinksForGood) {
    Project p;
    ASSERT_TRUE(p.AddLink({"a.exe", "A", "P"}));
    p.SetGruppo(0);
    EXPECT_TRUE(p.Links().empty());
    EXPECT_FALSE(p.States().linksEnabled);
    EXPECT_FALSE(p.States().nomeGruppoEditable);
    p.SetGruppo(1);
    EXPECT_TRUE(p.Links().empty());
    EXPECT_TRUE(p.States().linksEnabled);
}

TEST(Lists, RefuseAnEntryBeyondTheLargestCount) {
    Project p;
    for (int i = 0; i < velaset::kMaxListEntries; ++i)
        ASSERT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\""));
    platform::Status refused = p.AddRegistryEntry("HCU,Y,\"\",,\"1\"");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "L'elenco delle voci di registro è pieno: può contenere al "
                               "massimo 32767 voci.");
    EXPECT_EQ(p.RegistryEntries().size(), 32767u);
}

TEST(Entries, HaveTheirFixedTextForms) {
    EXPECT_EQ((FileEntry{"C:\\Src\\app.exe", "S*"}.Text()), "C:\\Src\\app.exe,S*");
    EXPECT_EQ((LinkEntry{"app.exe", "App", "D"}.Text()), "app.exe,App,D");
    EXPECT_EQ(FileEntry::FromText("C:\\Src\\app.exe,D"), (FileEntry{"C:\\Src\\app.exe", "D"}));
    // A path may hold commas, the destination entry never does.
    EXPECT_EQ(FileEntry::FromText("C:\\a,b\\c;d=e[f\\Lib,1.dll,S*"),
              (FileEntry{"C:\\a,b\\c;d=e[f\\Lib,1.dll", "S*"}));
    EXPECT_EQ(FileEntry::FromText(",H"), (FileEntry{"", "H"}));
    EXPECT_EQ(FileEntry::FromText("solo"), (FileEntry{"solo", ""}));
    EXPECT_EQ(LinkEntry::FromText("a.exe,Nome,P"), (LinkEntry{"a.exe", "Nome", "P"}));
}

TEST(GetField, CountsFieldsFromOne) {
    struct Case {
        const char* text;
        char separator;
        int n;
        const char* field;
    } cases[] = {
        {"a,b,c", ',', 1, "a"},
        {"a,b,c", ',', 3, "c"},
        {"a,b,c", ',', 4, ""},
        {"a,b,c", ',', 0, ""},
        {"a,b,c", ',', -1, ""},
        {"", ',', 1, ""},
        {"a,,c", ',', 2, ""},
        {"abc", ',', 1, "abc"},
        {"a,b", ';', 1, "a,b"},
        {"HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\"", '"', 2, "Path"},
        {"HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\"", '"', 4, "%PROGDIR%"},
        {"HCU,X,\"\",,\"1\"", '"', 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velaset::GetField(c.text, c.separator, c.n), c.field) << c.text << " " << c.n;
}

TEST(FileName, TakesTheTextAfterTheLastBackslash) {
    EXPECT_EQ(velaset::FileName("C:\\Src\\app.exe"), "app.exe");
    EXPECT_EQ(velaset::FileName("app.exe"), "app.exe");
    EXPECT_EQ(velaset::FileName("C:\\Src\\"), "");
    EXPECT_EQ(velaset::FileName("/src/app.exe"), "/src/app.exe");
}

} // namespace

#include <gtest/gtest.h>

#include "builder/project/ini_file.h"
#include "builder/project/package_keys.h"
#include "builder/project/project_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::Project;
using velaset::Scope;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

TEST(PackageKeys, AcceptOnlyTheirForms) {
    const struct {
        const char* key;
        const char* text;
        bool accepted;
    } cases[] = {
        {"Versione", "1", true},          {"Versione", "2.0.1.15", true},
        {"Versione", "123456789.0", true}, {"Versione", "1.2.3.4.5", false},
        {"Versione", "1..2", false},      {"Versione", "1.", false},
        {"Versione", "v1.2", false},      {"Versione", "1234567890", false},
        {"Editore", "Rossi & C. 100%", true}, {"Editore", "Rossi \"Soft\"", false},
        {"Editore", "a\tb", false},       {"Editore", "   ", false},
        {"SitoWeb", "https://example.org/a%20b", true}, {"SitoWeb", "HTTP://x.it", true},
        {"SitoWeb", "ftp://x.it", false}, {"SitoWeb", "https://", false},
        {"SitoWeb", "https://a b", false}, {"Ambito", "UTENTE", true},
        {"Ambito", "macchina", true},     {"Ambito", "tutti", false},
    };
    for (const auto& c : cases) {
        Project p;
        const char* fault = velaset::SetPackageKey(&p, c.key, c.text);
        EXPECT_EQ(fault == nullptr, c.accepted) << c.key << "=" << c.text;
        if (!c.accepted)
            EXPECT_TRUE(velaset::PackageKeyText(p, c.key).empty()) << "a refusal changes nothing";
    }
    Project p;
    EXPECT_EQ(velaset::SetPackageKey(&p, "Editore", std::string(256, 'x')), nullptr);
    EXPECT_NE(velaset::SetPackageKey(&p, "Editore", std::string(257, 'x')), nullptr);
}

// Stored after Distribuzione when set, read back the same; unset again over the same file,
// they are written back as unset and the project loads without them.
TEST(PackageKeys, RoundTripThroughTheProjectFile) {
    ScratchFolder scratch;
    Project p;
    p.ResetToNewProject(scratch.Path(), "C:\\Programmi\\");
    p.ProgFile = scratch.Path("p.mip");
    ASSERT_TRUE(velaset::SaveProject(p));
    const std::string plain = ScratchFolder::ReadFile(p.ProgFile);
    EXPECT_FALSE(velaset::HasPackageKeys(p));

    for (const char* kv : {"Versione=1.2", "Editore=Rossi & C.", "SitoWeb=https://x.it/a%20b",
                           "Ambito=Utente"}) {
        const std::string text = kv;
        const size_t eq = text.find('=');
        ASSERT_EQ(velaset::SetPackageKey(&p, text.substr(0, eq), text.substr(eq + 1)), nullptr);
    }
    ASSERT_TRUE(velaset::SaveProject(p));
    std::string expected = plain;
    expected.insert(expected.find("Distribuzione=0\r\n") + 17,
                    "Versione=1.2\r\nEditore=Rossi & C.\r\nSitoWeb=https://x.it/a%20b\r\n"
                    "Ambito=utente\r\n");
    EXPECT_EQ(ScratchFolder::ReadFile(p.ProgFile), expected);
    Project loaded;
    loaded.ProgFile = p.ProgFile;
    ASSERT_TRUE(velaset::LoadProject(&loaded, "APP"));
    EXPECT_EQ(loaded.Versione, "1.2");
    EXPECT_EQ(loaded.Editore, "Rossi & C.");
    EXPECT_EQ(loaded.SitoWeb, "https://x.it/a%20b");
    EXPECT_EQ(loaded.Ambito, Scope::User);

    for (const char* key : velaset::PackageKeyNames())
        velaset::SetPackageKey(&loaded, key, "");
    ASSERT_TRUE(velaset::SaveProject(loaded));
    EXPECT_EQ(velaset::ReadIni(p.ProgFile, "Progetto", "Ambito"), "macchina");
    EXPECT_EQ(velaset::ReadIni(p.ProgFile, "Progetto", "Versione"), "");
    Project again;
    again.ProgFile = p.ProgFile;
    ASSERT_TRUE(velaset::LoadProject(&again, "APP"));
    EXPECT_FALSE(velaset::HasPackageKeys(again));
}

// A package for one user may not write where only an administrator may: every such entry
// is named, and the same project for the machine is fine.
TEST(PackageKeys, APackageForOneUserRefusesWhatNeedsAnAdministrator) {
    ScratchFolder scratch;
    Project p;
    const std::string exe = scratch.WriteFile("Demo.exe", "MZ");
    const std::string dll = scratch.WriteFile("Comp.dll", "MZ");
    ASSERT_TRUE(p.AddFile({exe, "D"}));
    ASSERT_TRUE(p.AddFile({dll, "S*"}));
    ASSERT_TRUE(p.AddRegistryEntry("HKCU,Software\\Demo,\"A\",,\"1\""));
    ASSERT_TRUE(p.AddRegistryEntry("HKLM,Software\\Demo,\"B\",,\"2\""));
    p.SetDistribuzione(1);
    EXPECT_TRUE(velaset::CheckScope(p));
    p.Ambito = Scope::User;
    platform::Status refused = velaset::CheckScope(p);
    EXPECT_EQ(refused.message,
              "Un pacchetto per l'utente (Ambito=utente) si installa senza amministratore: può "
              "copiare file solo nella cartella del programma (destinazione D, senza registrare "
              "librerie) e scrivere nel registro solo sotto HKCU. Non lo permettono: "
              "Distribuzione=1 (un pacchetto senza disinstallazione); la voce 2 di [Files] (" +
                  dll + ",S*); la voce 2 di [Chiavi] (HKLM,Software\\Demo,\"B\",,\"2\").");
    p.SetDistribuzione(0);
    p.SetFileDestination(1, "D");
    p.RemoveRegistryEntryAt(1);
    EXPECT_TRUE(velaset::CheckScope(p));
}

} // namespace

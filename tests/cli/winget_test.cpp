// velaset winget: the three manifests, checked against the fields the winget schema 1.6.0
// requires of each, and the package's SHA-256 (computed once by sha256sum).
#include <gtest/gtest.h>

#include "tests/cli/command_run.h"

namespace {

using velaset_test::CommandRun;
using velaset_test::ScratchFolder;

// A stand-in for a setup executable: a PE header of the machine and the stub manifest's
// execution level.
std::string Package(bool x64) {
    std::string bytes(512, '\0');
    bytes.replace(0, 2, "MZ");
    bytes[0x3C] = 0x40;
    bytes.replace(0x40, 6, x64 ? std::string("PE\0\0\x64\x86", 6) : std::string("PE\0\0\x4C\x01", 6));
    const std::string level = "level=\"requireAdministrator\"";
    return bytes.replace(0x100, level.size(), level);
}

class WingetCommand : public velaset_test::VelasetTest {
  protected:
    void SetUp() override {
        project_ = folder.Path("Mio.mip");
        ASSERT_EQ(Velaset({"new", project_, "--title", "Mio Programma"}).code, 0);
        ASSERT_TRUE(ScratchFolder::WriteBytes(folder.Path("Setup.exe"), Package(false)));
        ASSERT_TRUE(ScratchFolder::WriteBytes(folder.Path("Setup64.exe"), Package(true)));
    }
    CommandRun Winget(const std::string& package, const std::string& url) {
        return Velaset({"winget", project_, "--package", folder.Path(package), "--url", url,
                        "-o", folder.Path("manifesti")});
    }
    std::string project_;
};

TEST_F(WingetCommand, WritesTheThreeManifestsWithTheRequiredFields) {
    ASSERT_EQ(Velaset({"set", project_, "Versione=2.0.1", "Editore=Rossi & Figli",
                       "SitoWeb=https://example.org/mio"})
                  .code,
              0);
    const struct {
        const char* package;
        const char* architecture;
        const char* sha256;
    } packages[] = {
        {"Setup.exe", "x86", "D6FE845668AE49140A7122590D99AC2D0A51B1ECAE0466922F75B411E73DED24"},
        {"Setup64.exe", "x64", "8D1AE037DC0BB6966C6DFD082F3EFFF717043F7F8ABA8575C7FFFECE4C30E610"},
    };
    for (const auto& p : packages) {
        CommandRun run = Winget(p.package, "https://example.org/Setup.exe");
        ASSERT_EQ(run.code, 0) << run.err;
        const std::string id = "Rossi&Figli.MioProgramma";
        const struct {
            std::string file;
            std::vector<std::string> lines; // required by the schema, then by the package
        } manifests[] = {
            {id + ".yaml",
             {"PackageIdentifier: \"" + id + "\"", "PackageVersion: \"2.0.1\"",
              "DefaultLocale: it-IT", "ManifestType: version", "ManifestVersion: 1.6.0"}},
            {id + ".installer.yaml",
             {"PackageIdentifier: \"" + id + "\"", "PackageVersion: \"2.0.1\"", "Installers:",
              std::string("- Architecture: ") + p.architecture,
              "  InstallerUrl: \"https://example.org/Setup.exe\"",
              std::string("  InstallerSha256: ") + p.sha256, "ManifestType: installer",
              "ManifestVersion: 1.6.0", "InstallerType: exe", "Scope: machine",
              "  Silent: /S", "  SilentWithProgress: /S", "  InstallLocation: /D=<INSTALLPATH>",
              "ProductCode: \"Mio Programma\"", "AppsAndFeaturesEntries:",
              "- DisplayName: \"Mio Programma, Versione 1.0\"", "  DisplayVersion: \"2.0.1\"",
              "  Publisher: \"Rossi & Figli\""}},
            {id + ".locale.it-IT.yaml",
             {"PackageIdentifier: \"" + id + "\"", "PackageVersion: \"2.0.1\"",
              "PackageLocale: it-IT", "Publisher: \"Rossi & Figli\"",
              "PackageName: \"Mio Programma\"", "License: \"Proprietary\"",
              "ShortDescription: \"Questo programma installerà Mio Programma sul vostro "
              "computer.\"",
              "ManifestType: defaultLocale", "ManifestVersion: 1.6.0",
              "PackageUrl: \"https://example.org/mio\""}},
        };
        std::string printed;
        for (const auto& m : manifests) {
            const std::string path = folder.Path("manifesti/" + m.file);
            printed += path + "\n";
            const std::string text = "\n" + ScratchFolder::ReadFile(path);
            for (const std::string& line : m.lines)
                EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << m.file << ": " << line;
        }
        EXPECT_EQ(run.out, printed);
    }
}

TEST_F(WingetCommand, RefusesWhatCannotBePublished) {
    const struct {
        std::vector<std::string> set; // assignments before the command
        const char* package;
        const char* url;
        int code;
        const char* message;
    } cases[] = {
        {{}, "Setup.exe", "https://x.it/a.exe", 2, "Il progetto non ha Versione ed Editore"},
        {{"Versione=1.0"}, "Setup.exe", "https://x.it/a.exe", 2, "Il progetto non ha Editore"},
        {{"Editore=..."}, "Setup.exe", "https://x.it/a.exe", 2, "non danno un identificatore"},
        {{"Editore=Rossi"}, "Setup.exe", "ftp://x.it/a.exe", 2, "non comincia con http://"},
        {{}, "Mio.mip", "https://x.it/a.exe", 1, "non è un pacchetto di installazione creato"},
        {{"Ambito=utente"}, "Setup.exe", "https://x.it/a.exe", 1,
         "si installa per la macchina, ma il progetto ha Ambito=utente"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> set = {"set", project_};
        set.insert(set.end(), c.set.begin(), c.set.end());
        if (!c.set.empty())
            ASSERT_EQ(Velaset(set).code, 0);
        CommandRun run = Winget(c.package, c.url);
        EXPECT_EQ(run.code, c.code) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(platform::PathExists(folder.Path("manifesti")));
}

} // namespace

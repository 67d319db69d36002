#include <cstring>

#include <gtest/gtest.h>

#include "builder/project/ini_file.h"
#include "cli/command_kit.h"
#include "cli/dispatcher.h"
#include "common/constants.h"
#include "platform/file_lock.h"
#include "platform/text_encoding.h"
#include "tests/cli/command_run.h"

namespace {

using velaset_test::ScratchFolder;

using velaset_test::CommandRun;

class VelasetCommand : public velaset_test::VelasetTest {};

TEST_F(VelasetCommand, AnswersVersionAndHelpWithoutAProject) {
    CommandRun version = Velaset({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, std::string("velaset ") + VELASET_VERSION_TEXT + "\n");
    // Every command answers --help, "velaset help COMMAND" and --version as the help says.
    for (const char* command : {"new", "show", "set", "add", "remove", "dest", "link", "reg", "msg",
                                "inf", "build", "comprimi"}) {
        for (const std::vector<std::string>& asked :
             {std::vector<std::string>{command, "--help"}, {"help", command}}) {
            CommandRun help = Velaset(asked);
            EXPECT_EQ(help.code, 0) << command;
            EXPECT_EQ(help.err, "") << command;
            EXPECT_EQ(help.out.rfind(std::string("uso: velaset ") + command, 0), 0u) << help.out;
        }
        CommandRun commandVersion = Velaset({command, "--version"});
        EXPECT_EQ(commandVersion.code, 0) << command;
        EXPECT_EQ(commandVersion.out, version.out);
    }
    const std::string build = Velaset({"build", "--help"}).out;
    EXPECT_NE(build.find("--sign-pkcs12 FILE.p12"), std::string::npos) << build;
    EXPECT_NE(build.find("variabile\nd'ambiente VELASET_SIGN_PASSWORD"), std::string::npos);
}

// Bad usage: exit code 2, the message and the usage of the command (of the signing
// options for a signing fault).
TEST_F(VelasetCommand, RefusesBadUsageWithExitCode2AndTheUsage) {
    const std::string build = "uso: velaset build PROGETTO.mip";
    const std::string signing =
        "[--sign-cert CERT.pem --sign-key CHIAVE.pem | --sign-pkcs12 FILE.p12]";
    const std::string needsCertificate =
        "velaset build: --sign-timestamp, --sign-description, --sign-url e --sign-runtime "
        "vogliono il certificato: --sign-cert e --sign-key, o --sign-pkcs12";
    const struct {
        std::vector<std::string> args;
        std::string message;
        std::string usage;
    } cases[] = {
        {{}, "", ""},
        {{"build-everything"}, "comando sconosciuto: build-everything", ""},
        {{"help", "colora"}, "", ""},
        {{"new"}, "", ""},
        {{"new", "a.mip", "--title"}, "", ""},
        {{"new", "a.mip", "--colore"}, "", ""},
        {{"show"}, "", ""},
        {{"set", "a.mip"}, "", ""},
        {{"build"}, "velaset build: manca il file di progetto", build},
        {{"build", "a.mip", "b.mip"}, "velaset build: argomento in più: b.mip", build},
        {{"build", "a.mip", "-o"}, "velaset build: -o vuole il percorso dell'eseguibile", build},
        {{"build", "a.mip", "--fast"}, "velaset build: opzione sconosciuta: --fast", build},
        {{"build", "a.mip", "--arch"}, "velaset build: --arch vuole x86 o x64", build},
        {{"build", "a.mip", "--arch", "amd64"}, "velaset build: --arch vuole x86 o x64", build},
        // Signing options that do not fit together.
        {{"build", "a.mip", "--sign-cert", "c.pem"},
         "velaset build: --sign-cert e --sign-key vanno dati insieme", signing},
        {{"build", "a.mip", "--sign-key", "k.pem"},
         "velaset build: --sign-cert e --sign-key vanno dati insieme", signing},
        {{"build", "a.mip", "--sign-cert", "c.pem", "--sign-key", "k.pem", "--sign-pkcs12", "f.p12"},
         "velaset build: --sign-pkcs12 non va insieme a --sign-cert e --sign-key", signing},
        {{"build", "a.mip", "--sign-runtime"}, needsCertificate, signing},
        {{"build", "a.mip", "--sign-timestamp", "http://ts"}, needsCertificate, signing},
        {{"build", "a.mip", "--sign-pkcs12", "f.p12", "--inf-only"},
         "velaset build: --inf-only non crea nessun eseguibile da firmare", signing},
        {{"build", "a.mip", "--sign-pkcs12"}, "velaset build: --sign-pkcs12 vuole il file PKCS#12",
         signing},
        {{"build", "a.mip", "--sign-cert", ""},
         "velaset build: --sign-cert vuole il file del certificato", signing},
        {{"build", "a.mip", "--sign-pkcs12", "f.p12", "--sign-password", "segreto"},
         "velaset build: la password non si scrive sulla riga di comando: va nella variabile "
         "d'ambiente VELASET_SIGN_PASSWORD",
         signing},
    };
    for (const auto& c : cases) {
        const CommandRun run = Velaset(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.usage), std::string::npos) << run.err;
    }
}

// The new project's text is the project tests' golden file; here what new puts in it and
// that show prints the file as it is stored, in UTF-8 with LF line ends.
TEST_F(VelasetCommand, NewThenShowPrintsTheNewProjectWithTheTitle) {
    std::string dir = folder.MakeFolder("DIR");
    for (const std::string& title : {"Demo", "Nuovo Progetto"}) {
        std::string project = platform::JoinSourcePath(dir, title + ".mip");
        std::vector<std::string> args = {"new", project, "--title", "Demo"};
        args.resize(title == "Demo" ? 4 : 2); // without --title: "Nuovo Progetto"
        CommandRun created = Velaset(args);
        ASSERT_EQ(created.code, 0) << created.err;
        CommandRun shown = Velaset({"show", project});
        ASSERT_EQ(shown.code, 0) << shown.err;
        std::string lf;
        for (char c : platform::Windows1252ToUtf8(ScratchFolder::ReadFile(project)))
            lf += c == '\r' ? "" : std::string(1, c);
        EXPECT_EQ(shown.out, lf);
        for (const std::string& line :
             {"Titolo=" + title, "LabelControl=" + title + ", Versione 1.0",
              "ExeFile=" + platform::JoinSourcePath(dir, title + ".exe"), "ProgFile=" + project})
            EXPECT_NE(lf.find("\n" + line + "\n"), std::string::npos) << line;
    }
}

TEST_F(VelasetCommand, NewKeepsAnExistingFileUnlessForced) {
    std::string project = folder.WriteFile("Demo.mip", "vecchio");
    CommandRun kept = Velaset({"new", project, "--title", "Demo"});
    EXPECT_EQ(kept.code, 1);
    EXPECT_NE(kept.err.find("esiste già"), std::string::npos);
    EXPECT_EQ(ScratchFolder::ReadFile(project), "vecchio");
    ASSERT_EQ(Velaset({"new", project, "--title", "Demo", "--force"}).code, 0);
    EXPECT_EQ(velaset::ReadIni(project, "Progetto", "Titolo"), "Demo");
    EXPECT_EQ(ScratchFolder::ReadFile(project).find("vecchio"), std::string::npos);
}

// Runs on one project take turns. While another run holds it, a command that would
// change it waits a while, then gives up with a message and leaves the file alone; a
// command that only reads it shares it with other readers.
TEST_F(VelasetCommand, AProjectInUseIsLeftAloneWithAMessage) {
    std::string project = folder.Path("Demo.mip");
    ASSERT_EQ(Velaset({"new", project, "--title", "Demo"}).code, 0);
    const std::string before = ScratchFolder::ReadFile(project);
    platform::FileLock reader;
    platform::Status failure;
    ASSERT_EQ(reader.Acquire(project + ".lock", platform::LockMode::Shared, 0, &failure),
              platform::LockOutcome::Locked);
    EXPECT_EQ(Velaset({"show", project}).code, 0);
    CommandRun refused = Velaset({"set", project, "Caption=Altro"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "velaset: Il progetto " + project +
                               " è in uso da un'altra esecuzione di Velaset; riprovare quando "
                               "avrà finito.\n");
    EXPECT_EQ(ScratchFolder::ReadFile(project), before);
    reader.Release();
    EXPECT_EQ(Velaset({"set", project, "Caption=Altro"}).code, 0);
    EXPECT_EQ(velaset::ReadIni(project, "Progetto", "Caption"), "Altro");
    EXPECT_EQ(ScratchFolder::ReadFile(project + ".lock"), "");

    // A mistyped name leaves no lock file behind.
    std::string typo = folder.Path("Dmeo.mip");
    EXPECT_EQ(Velaset({"set", typo, "Caption=Altro"}).code, 1);
    EXPECT_FALSE(platform::PathExists(typo + ".lock"));
}

TEST_F(VelasetCommand, ShowAndBuildReportMissingAndRefusedFiles) {
    const std::string manca = folder.Path("Manca.mip");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", manca}, {"build", manca, "--quiet"}}) {
        CommandRun missing = Velaset(args);
        EXPECT_EQ(missing.code, 1) << args[0];
        EXPECT_NE(missing.err.find("Impossibile aprire il progetto " + manca), std::string::npos)
            << missing.err;
    }
    EXPECT_FALSE(platform::PathExists(folder.Path("Manca.exe")));
    std::string bad = folder.WriteFile("bad.mip", "[Progetto]\r\nGruppo=si\r\nDlgEnd=1\r\n");
    CommandRun refused = Velaset({"show", bad});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("la chiave Gruppo contiene \"si\""), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out, "");
}

TEST_F(VelasetCommand, ShowMakesStaleAndDroppedEntriesVisible) {
    std::string kept = folder.WriteFile("app.exe", "MZ");
    std::string project = folder.WriteFile(
        "p.mip", velaset_test::Crlf("[Progetto]\nGruppo=1\nDlgEnd=1\nNumFile=2\nNumLink=1\n"
                                    "[Files]\n1=" +
                                    kept + ",D\n2=" + folder.Path("manca.exe") + ",D\n3=" + kept +
                                    ",W\n[Link]\n1=manca.exe,M,P\n"));
    CommandRun shown = Velaset({"show", project});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_NE(shown.out.find("NumFile=1\n"), std::string::npos);
    EXPECT_NE(shown.out.find("[Files]\n1=" + kept + ",D\n[Chiavi]"), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("NumLink=0\n"), std::string::npos);
    EXPECT_NE(shown.out.find("Errore=L'installazione ha riscontrato"), std::string::npos);
}

TEST_F(VelasetCommand, SetAppliesKeysInOrderWithTheirRules) {
    std::string project = folder.Path("Nuovo Progetto.mip");
    ASSERT_EQ(Velaset({"new", project}).code, 0);
    CommandRun set = Velaset({"set", project, "Titolo=Prova", "Uninstall=1", "ChkLancio=1",
                              "Lancio=prova.exe", "Etic2A=Uno\nDue", "Stop=Fermato.", "Gruppo=0"});
    ASSERT_EQ(set.code, 0) << set.err;
    auto stored = [&project](const char* section, const char* key) {
        return velaset::ReadIni(project, section, key);
    };
    EXPECT_EQ(stored("Progetto", "Titolo"), "Prova");
    EXPECT_EQ(stored("Progetto", "Caption"), "Prova");
    EXPECT_EQ(stored("Progetto", "ExeFile"),
              platform::JoinSourcePath(folder.Path(), "Prova.exe"));
    EXPECT_EQ(stored("Progetto", "ProgFile"), project);
    EXPECT_EQ(stored("Progetto", "Uninstall"), "1");
    EXPECT_EQ(stored("Progetto", "UninstallString"), "Disinstalla");
    EXPECT_EQ(stored("Progetto", "Lancio"), "prova.exe");
    EXPECT_EQ(stored("Progetto", "Etic2A"), "Uno¶Due");
    EXPECT_EQ(stored("Messaggi", "Stop"), "Fermato.");
    EXPECT_EQ(stored("Progetto", "Gruppo"), "0");
    // The file named on the command line is the one saved.
    EXPECT_FALSE(platform::PathExists(folder.Path("Prova.mip")));
}

// The architecture and the compression: each key is written only for its non-default
// value (as given, in any case), shown as it is stored, and written over with the default
// when the project goes back; a project shown as a new file would be has no such key.
TEST_F(VelasetCommand, SetStoresTheArchitectureAndTheCompressionOnlyOffTheirDefaults) {
    const struct {
        const char* key;
        const char* byDefault;
        const char* other; // as typed
        const char* stored;
        const char* storedDefault;
    } keys[] = {{"Architettura", "x86", "X64", "x64", "x86"},
                {"Compressione", "mszip", "lzx", "LZX", "MSZIP"}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        std::string project = folder.Path(std::string(k.byDefault) + ".mip");
        ASSERT_EQ(Velaset({"new", project}).code, 0);
        const std::string plain = ScratchFolder::ReadFile(project);
        const std::string key = k.key;
        ASSERT_EQ(Velaset({"set", project, key + "=" + k.byDefault}).code, 0);
        EXPECT_EQ(ScratchFolder::ReadFile(project), plain) << "no key for the default";
        ASSERT_EQ(Velaset({"set", project, key + "=" + k.other}).code, 0);
        std::string marked = plain;
        marked.insert(plain.find("Distribuzione=0\r\n") + 17, key + "=" + k.stored + "\r\n");
        EXPECT_EQ(ScratchFolder::ReadFile(project), marked);
        EXPECT_NE(Velaset({"show", project})
                      .out.find("Distribuzione=0\n" + key + "=" + k.stored + "\n[Chiavi]"),
                  std::string::npos);
        ASSERT_EQ(Velaset({"set", project, key + "=" + k.byDefault}).code, 0);
        marked.replace(marked.find(key + "="), key.size() + 1 + std::strlen(k.stored),
                       key + "=" + k.storedDefault);
        EXPECT_EQ(ScratchFolder::ReadFile(project), marked) << "the rest as it was";
        EXPECT_EQ(Velaset({"show", project}).out.find(key), std::string::npos);
    }
}

// A package for one user is refused at every door that would give it what needs an
// administrator, and the file stays as it was.
TEST_F(VelasetCommand, APackageForOneUserKeepsToTheUsersPlaces) {
    std::string project = folder.Path("Demo.mip");
    ASSERT_EQ(Velaset({"new", project}).code, 0);
    ASSERT_EQ(Velaset({"reg", project, "add", "HKLM", "Software\\Demo", "A", "1"}).code, 0);
    std::string before = ScratchFolder::ReadFile(project);
    CommandRun refused = Velaset({"set", project, "Versione=1.2", "Ambito=utente"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("Non lo permettono: la voce 1 di [Chiavi] (HKLM,Software\\Demo,"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(ScratchFolder::ReadFile(project), before);
    ASSERT_EQ(Velaset({"reg", project, "remove", "1"}).code, 0);
    ASSERT_EQ(Velaset({"set", project, "Ambito=utente"}).code, 0);
    EXPECT_EQ(Velaset({"reg", project, "add", "HKCR", ".demo", "", "Demo"}).code, 2);
    EXPECT_EQ(Velaset({"reg", project, "add", "HKCU", "Software\\Demo", "A", "1"}).code, 0);
    EXPECT_EQ(Velaset({"set", project, "Distribuzione=1"}).code, 2);
    EXPECT_NE(Velaset({"show", project}).out.find("Ambito=utente\n"), std::string::npos);
}

TEST_F(VelasetCommand, SetRefusesBadKeysAndValuesWithoutSaving) {
    std::string project = folder.Path("Demo.mip");
    ASSERT_EQ(Velaset({"new", project}).code, 0);
    std::string before = ScratchFolder::ReadFile(project);
    struct Case {
        const char* assignment;
        const char* message;
    } cases[] = {
        {"Colore=blu", "chiave sconosciuta: Colore\nchiavi valide: Titolo, Caption, Etic1A"},
        {"NumFile=3", "chiave sconosciuta: NumFile"},
        {"Titolo", "atteso CHIAVE=VALORE: Titolo"},
        {"Gruppo=si", "Gruppo vale 0 o 1, non \"si\""},
        {"UninstallString=Via", "UninstallString non è modificabile finché Uninstall vale 0"},
        {"Errore=", "il messaggio Errore non può essere vuoto"},
        {"Caption=日本", "Il campo Caption contiene caratteri che non possono essere salvati"},
        {"Caption=a\nb", "Caption non può contenere a capo"},
        {"Caption=a\rb", "Caption non può contenere a capo"},
        {"DefDir=Nul.txt", "che Windows riserva ai dispositivi (Nul)"},
        {"Architettura=arm64", "Architettura vale x86 o x64, non \"arm64\""},
        {"Architettura=", "Architettura vale x86 o x64, non \"\""},
        {"Compressione=zip", "Compressione vale LZX o MSZIP, non \"zip\""},
        {"Versione=1.0 beta", "Versione può contenere solo da uno a quattro numeri"},
        {"SitoWeb=ftp://x.it", "SitoWeb deve essere un indirizzo che comincia con http://"},
        {"Ambito=tutti", "Ambito può valere solo macchina o utente"},
    };
    for (const Case& c : cases) {
        CommandRun refused = Velaset({"set", project, "DefDir=Cambiata", c.assignment});
        EXPECT_EQ(refused.code, 2) << c.assignment;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
        EXPECT_EQ(ScratchFolder::ReadFile(project), before) << c.assignment;
    }
}

} // namespace

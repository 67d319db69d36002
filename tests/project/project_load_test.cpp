#include <gtest/gtest.h>

#include <cctype>

#include "builder/project/ini_file.h"
#include "builder/project/project_file.h"
#include "builder/project/short_name_clash.h"
#include "platform/message_box.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::LinkEntry;
using velaset::Project;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

// A project file in the scratch folder: the [Progetto] keys of a small valid project,
// with extra lines after them.
std::string WriteProjectFile(const ScratchFolder& scratch, const std::string& progetto,
                             const std::string& rest = "") {
    return scratch.WriteFile("p.mip", Crlf("[Progetto]\nGruppo=1\nDlgEnd=1\n" + progetto + rest));
}

platform::Status Load(const std::string& file, Project* p, const std::string& app = "APP") {
    p->ProgFile = file;
    return velaset::LoadProject(p, app);
}

// Saved again, the loaded project gives the same bytes: the load took every field. The
// files stand in a folder whose name holds the separators of the stored forms.
TEST(ProjectLoad, ReadsBackWhatTheSaveWrote) {
    ScratchFolder scratch;
    Project saved;
    saved.ResetToNewProject(scratch.Path(), "C:\\Programmi\\");
    saved.SetTitleAsTyped("Demo");
    const std::string folder = "cartella con spazi+più,punto;virgola=uguale[quadra/";
    EXPECT_TRUE(saved.AddFile({scratch.WriteFile(folder + "Demo.exe", "MZ"), "D"}));
    EXPECT_TRUE(saved.AddFile({scratch.WriteFile(folder + "Guida lunga.hlp", "h"), "H"}));
    EXPECT_TRUE(saved.AddFile({scratch.WriteFile(folder + "Schön.dat", "s"), "D"}));
    EXPECT_TRUE(saved.AddLink({"Demo.exe", "Demo", "P"}));
    EXPECT_TRUE(saved.AddRegistryEntry("HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\""));
    saved.SetUninstall(1);
    saved.UninstallString = "Disinstalla Demo";
    saved.SetChkLancio(1);
    saved.Lancio = "Demo.exe /primo";
    saved.SetSfondo(1);
    saved.TestoSfondo = "Sfondo";
    saved.SetDistribuzione(1);
    saved.SetButtonBrowse(0);
    saved.Etic2A = "Prima riga\r\nSeconda riga\r\n" + std::string(400, 'x');
    saved.Browse = "Cartella:";
    ASSERT_TRUE(velaset::SaveProject(saved));

    Project loaded;
    ASSERT_TRUE(Load(saved.ProgFile, &loaded));
    EXPECT_EQ(loaded.Etic2A, saved.Etic2A);
    EXPECT_EQ(loaded.Files(), saved.Files());
    EXPECT_TRUE(loaded.States().lancioEditable);
    EXPECT_EQ(loaded.TakeFocusRequest(), "");
    ASSERT_TRUE(velaset::SaveProjectTo(loaded, scratch.Path("copia.mip")));
    EXPECT_EQ(ScratchFolder::ReadFile(scratch.Path("copia.mip")),
              ScratchFolder::ReadFile(saved.ProgFile));
}

TEST(ProjectLoad, ReadsOnlyTheStoredCountOfAList) {
    ScratchFolder scratch;
    std::string a = scratch.WriteFile("a.txt", "a");
    std::string b = scratch.WriteFile("b.txt", "b");
    std::string file =
        WriteProjectFile(scratch, "NumFile=1\n", "[Files]\n1=" + a + ",D\n2=" + b + ",D\n");
    Project p;
    ASSERT_TRUE(Load(file, &p));
    ASSERT_EQ(p.Files().size(), 1u);
    EXPECT_EQ(p.Files()[0].path, a);
    // The largest count a list can hold, with a sign.
    ASSERT_TRUE(Load(WriteProjectFile(scratch, "", "[Chiavi]\nNumChiavi=+32767\n"), &p));
    EXPECT_EQ(p.RegistryEntries().size(), 32767u);
}

TEST(ProjectLoad, DropsMissingAndClashingFilesWithTheirLinksAndReportsEach) {
    ScratchFolder scratch;
    std::string a = scratch.WriteFile(platform::JoinSourcePath("A", "Documento lungo.txt"), "a");
    std::string b = scratch.WriteFile(platform::JoinSourcePath("B", "Documento lungo.txt"), "b");
    std::string app = scratch.WriteFile(platform::JoinSourcePath("B", "app.exe"), "MZ");
    std::string missing = scratch.Path("manca.exe");
    std::string file = WriteProjectFile(
        scratch, "NumFile=5\nNumLink=4\n",
        "[Files]\n1=" + a + ",D\n2=" + missing + ",D\n3=" + b + ",W\n4=" + app + ",D*\n5=" + a +
            ",S\n[Link]\n1=app.exe,App,P\n2=App.exe,Maiuscole,P\n3=manca.exe,Manca,D\n"
            "4=Documento lungo.txt,Doc,D\n");
    platform::MessageBoxRecorder boxes;
    Project p;
    velaset::LoadReport report;
    p.ProgFile = file;
    ASSERT_TRUE(velaset::LoadProject(&p, "APP", &report));
    ASSERT_EQ(p.Files().size(), 2u);
    EXPECT_EQ(p.Files()[0].Text(), a + ",D");
    EXPECT_EQ(p.Files()[1].Text(), app + ",D*");
    EXPECT_EQ(p.Links(), (std::vector<LinkEntry>{{"app.exe", "App", "P"},
                                                 {"Documento lungo.txt", "Doc", "D"}}));
    // The load shows nothing itself; what it left out is in the report, in file order.
    EXPECT_TRUE(boxes.Calls().empty());
    ASSERT_EQ(report.dropped.size(), 5u);
    std::vector<std::string> lines = velaset::LoadReportLines(report);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], missing + ": il file non esiste");
    EXPECT_EQ(report.dropped[0].key, 2);
    // The short name as the system gives it (Wine hashes its own), in capitals.
    std::string shortName = velaset::ShortName(a);
    for (char& c : shortName)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(lines[1], b + ": il nome corto " + shortName + " è già di " + a);
    EXPECT_EQ(report.dropped[1].stored, b + ",W");
    EXPECT_EQ(lines[2], a + ": il nome corto " + shortName + " è già di " + a);
    EXPECT_EQ(lines[3], "collegamento \"Maiuscole\": il file App.exe non è nell'elenco dei file");
    EXPECT_EQ(report.dropped[3].section, "Link");
    EXPECT_EQ(report.dropped[3].key, 2);
    EXPECT_EQ(lines[4], "collegamento \"Manca\": il file manca.exe non è nell'elenco dei file");
    EXPECT_TRUE(report.LostEntries());
}

TEST(ProjectLoad, ConvertsFlagsAndCountsAsTheBuilderDoes) {
    ScratchFolder scratch;
    std::string file = WriteProjectFile(
        scratch, "ButtonBrowse=yes\nChkLancio=+1abc\nLancio=go.exe\nNumFile= 0.4\nUninstall=01\n"
                 "UninstallString=ignorato\nSfondo=2\nTestoSfondo=ignorato\nDistribuzione=1 \n");
    Project p;
    p.SetButtonBrowse(1);
    ASSERT_TRUE(Load(file, &p));
    EXPECT_EQ(p.ButtonBrowse(), 0);
    EXPECT_EQ(p.ChkLancio(), 1);
    EXPECT_EQ(p.Lancio, "go.exe");
    EXPECT_EQ(p.Uninstall(), 0);
    EXPECT_EQ(p.UninstallString, "");
    EXPECT_EQ(p.Sfondo(), 0);
    EXPECT_EQ(p.TestoSfondo, "");
    EXPECT_EQ(p.Distribuzione(), 1); // the profile read drops the blank
}

TEST(ProjectLoad, AbsentKeysGiveEmptyFieldsAndDefaultMessages) {
    ScratchFolder scratch;
    std::string file = WriteProjectFile(scratch, "", "[Messaggi]\nErrore=\nStop=Fermo.\n");
    Project p;
    p.Titolo = "prima";
    p.Errore = "diverso";
    ASSERT_TRUE(Load(file, &p));
    EXPECT_EQ(p.Titolo, "");
    EXPECT_EQ(p.Errore, velaset::kDefaultErrore);
    EXPECT_EQ(p.Stop, "Fermo.");
    EXPECT_EQ(p.Browse, velaset::kDefaultBrowse);
    EXPECT_EQ(p.Disinstalla, velaset::kDefaultDisinstalla);
    EXPECT_TRUE(p.RegistryEntries().empty());
}

TEST(ProjectLoad, KeepsExeFileOnlyWhileItsFolderExists) {
    ScratchFolder scratch;
    std::string kept = scratch.Path("Demo.exe");
    std::string gone = platform::JoinSourcePath(scratch.Path("sparita"), "Demo.exe");
    Project p;
    ASSERT_TRUE(Load(WriteProjectFile(scratch, "ExeFile=" + kept + "\n"), &p));
    EXPECT_EQ(p.ExeFile, kept);
    velaset::LoadReport report;
    p.ProgFile = WriteProjectFile(scratch, "ExeFile=" + gone + "\n");
    ASSERT_TRUE(velaset::LoadProject(&p, "APPDIR", &report));
    EXPECT_EQ(p.ExeFile, platform::JoinSourcePath("APPDIR", "Demo.exe"));
    EXPECT_EQ(velaset::LoadReportLines(report),
              std::vector<std::string>{"ExeFile " + gone + ": la cartella " +
                                       platform::SourceFolderPart(gone) +
                                       " non esiste; l'eseguibile sarà creato in " + p.ExeFile});
    EXPECT_FALSE(report.LostEntries());
    // A caller that builds nowhere but where the user said keeps the stored path.
    ASSERT_TRUE(velaset::LoadProject(&p, "", &report));
    EXPECT_EQ(p.ExeFile, gone);
    EXPECT_EQ(report.exeFile, gone);
    // The stored ProgFile is not read: the project stays where it was loaded from.
    std::string file = WriteProjectFile(scratch, "ProgFile=C:\\Altrove\\x.mip\n");
    ASSERT_TRUE(Load(file, &p));
    EXPECT_EQ(p.ProgFile, file);
}

// A link once however many files there are, and however many times the file is loaded.
TEST(ProjectLoad, LoadingTwiceLeavesEachEntryOnce) {
    ScratchFolder scratch;
    std::string a = scratch.WriteFile(platform::JoinSourcePath("A", "a.exe"), "a");
    std::string b = scratch.WriteFile(platform::JoinSourcePath("B", "Lungo nome.exe"), "b");
    std::string file = WriteProjectFile(
        scratch, "NumFile=2\nNumLink=1\n",
        "[Files]\n1=" + a + ",D\n2=" + b +
            ",D\n[Link]\n1=a.exe,A,P\n[Chiavi]\nNumChiavi=2\n1=HCU,X,\"\",,\"1\"\n"
            "2=HKLM,Software\\Demo,\"Versione\",,\"1.0\"\n");
    Project p;
    ASSERT_TRUE(Load(file, &p));
    ASSERT_TRUE(Load(file, &p));
    EXPECT_EQ(p.Files().size(), 2u);
    EXPECT_EQ(p.Links().size(), 1u);
    EXPECT_EQ(p.RegistryEntries(),
              (std::vector<std::string>{"HCU,X,\"\",,\"1\"",
                                        "HKLM,Software\\Demo,\"Versione\",,\"1.0\""}));
}

TEST(ProjectLoad, RefusesFlagsAndCountsThatAreNotNumbersAndKeepsTheProject) {
    struct Case {
        std::string progetto; // the whole [Progetto] section
        std::string rest;
        std::string message;
    } cases[] = {
        {"Gruppo=abc\nDlgEnd=1\n", "", "la chiave Gruppo contiene \"abc\", che non è un numero."},
        {"DlgEnd=1\n", "", "la chiave Gruppo contiene \"\", che non è un numero."},
        {"Gruppo=1\nDlgEnd=x1\n", "", "la chiave DlgEnd contiene \"x1\", che non è un numero."},
        {"Gruppo=1\nDlgEnd=3\n", "", "la chiave DlgEnd contiene 3, ma può valere solo 0 o 1."},
        {"Gruppo=1\nDlgEnd=-1\n", "", "la chiave DlgEnd contiene -1, ma può valere solo 0 o 1."},
        {"Gruppo=1\nDlgEnd=1\nChkLancio=7\n", "",
         "la chiave ChkLancio contiene 7, ma può valere solo 0 o 1."},
        {"Gruppo=1\nDlgEnd=1\n", "[Chiavi]\nNumChiavi=tre\n",
         "la chiave NumChiavi contiene \"tre\", che non è un numero."},
        {"Gruppo=1\nDlgEnd=1\n", "[Chiavi]\nNumChiavi=32768\n",
         "la chiave NumChiavi conta 32768 voci, più delle 32767 che un elenco può contenere."},
        {"Gruppo=1\nDlgEnd=1\nNumFile=40000\n", "",
         "la chiave NumFile conta 40000 voci, più delle 32767 che un elenco può contenere."},
        {"Gruppo=1\nDlgEnd=1\nNumLink=99999abc\n", "",
         "la chiave NumLink conta 99999 voci, più delle 32767 che un elenco può contenere."},
        {"Gruppo=1\nDlgEnd=1\nArchitettura=arm64\n", "",
         "la chiave Architettura contiene \"arm64\", ma può valere solo x86 o x64."},
        {"Gruppo=1\nDlgEnd=1\nCompressione=zip\n", "",
         "la chiave Compressione contiene \"zip\", ma può valere solo LZX o MSZIP."},
        {"Gruppo=1\nDlgEnd=1\nVersione=1.0 beta\n", "",
         "la chiave Versione contiene \"1.0 beta\", ma può contenere solo da uno a quattro "
         "numeri separati da punti (per esempio 1.2 o 2.0.1.15)."},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        std::string file =
            scratch.WriteFile("p.mip", Crlf("[Progetto]\nTitolo=Nuovo\n" + c.progetto + c.rest));
        Project p;
        p.ResetToNewProject("C:\\P", "\\");
        EXPECT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\""));
        p.ProgFile = file;
        platform::Status refused = velaset::LoadProject(&p, "APP");
        EXPECT_FALSE(refused.ok) << c.progetto;
        EXPECT_EQ(refused.message, "Impossibile caricare il progetto " + file + ": " + c.message);
        EXPECT_EQ(p.Titolo, "Nuovo Progetto");
        EXPECT_EQ(p.RegistryEntries().size(), 1u);
    }
}

// The architecture and the compression as stored (absent or empty: the default, any
// letter case); unknown values are refused above.
TEST(ProjectLoad, ReadsTheArchitectureAndTheCompression) {
    using velaset::Architecture;
    using velaset::Compression;
    const struct {
        const char* stored; // the line of [Progetto], empty for none
        Architecture architecture;
        Compression compression;
    } accepted[] = {
        {"", Architecture::X86, Compression::MsZip},
        {"Architettura=\n", Architecture::X86, Compression::MsZip},
        {"Architettura=x86\nCompressione=MSZIP\n", Architecture::X86, Compression::MsZip},
        {"Architettura=x64\n", Architecture::X64, Compression::MsZip},
        {"Architettura=X64\nCompressione=lzx\n", Architecture::X64, Compression::Lzx},
    };
    for (const auto& c : accepted) {
        ScratchFolder scratch;
        Project p; // as a project loaded before
        p.Architettura = Architecture::X64;
        p.Compressione = Compression::Lzx;
        ASSERT_TRUE(Load(WriteProjectFile(scratch, c.stored), &p)) << c.stored;
        EXPECT_EQ(p.Architettura, c.architecture) << c.stored;
        EXPECT_EQ(p.Compressione, c.compression) << c.stored;
    }
}

TEST(ProjectLoad, RefusesAMissingFile) {
    ScratchFolder scratch;
    Project p;
    platform::Status refused = Load(scratch.Path("manca.mip"), &p);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "Impossibile aprire il progetto " + scratch.Path("manca.mip") +
                                   ": il file non esiste o non può essere letto.");
    EXPECT_FALSE(platform::PathExists(scratch.Path("manca.mip")));
}

} // namespace

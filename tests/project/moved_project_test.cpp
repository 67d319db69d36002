// The load of a project whose folder was moved or renamed, of files that are no project,
// and the wizard's message about what a load could not take.
#include <gtest/gtest.h>

#include "builder/project/load_report.h"
#include "builder/project/project_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::LoadReport;
using velaset::Project;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

// A project saved in folder `old` (whose files are no longer there) with files below it,
// written into `now`: the stored paths all name the old folder.
struct MovedFixture {
    ScratchFolder scratch;
    std::string oldName, nowName;
    std::string oldFolder = scratch.Path(oldName);
    std::string now = scratch.MakeFolder(nowName);

    MovedFixture(std::string from = "vecchia", std::string to = "nuova")
        : oldName(std::move(from)), nowName(std::move(to)) {}

    std::string Old(const std::string& relative) const {
        return platform::JoinSourcePath(oldFolder, relative);
    }
    std::string Now(const std::string& relative) const {
        return platform::JoinSourcePath(now, relative);
    }
    std::string WriteNow(const std::string& relative, const std::string& bytes) {
        return scratch.WriteFile(nowName + "/" + relative, bytes);
    }
    std::string WriteProject(const std::string& files, int count, const std::string& extra = "") {
        return WriteNow("Mio.mip",
                        Crlf("[Progetto]\nGruppo=1\nDlgEnd=1\nNumFile=" + std::to_string(count) +
                             "\nNumLink=1\nProgFile=" + Old("Mio.mip") + "\n" + extra +
                             "[Files]\n" + files + "[Link]\n1=Mio.exe,Mio,P\n"));
    }
};

// Moves of every shape: aside to a name shorter or longer than the old one, down into a
// folder below the old one, up to the folder above it.
TEST(MovedProject, FindsFilesAtTheirPlaceUnderTheNewFolderAndSaysSo) {
    const std::pair<const char*, const char*> moves[] = {
        {"vecchia", "nuova"}, {"v", "nuova"}, {"pr", "pr/nuova"}, {"pr/vecchia", "pr"}};
    for (const auto& move : moves) {
        SCOPED_TRACE(std::string(move.first) + " -> " + move.second);
        MovedFixture f(move.first, move.second);
        std::string sub = platform::JoinSourcePath("dist", "Mio.exe");
        std::string exe = platform::JoinSourcePath("dist", "Setup.exe");
        f.WriteNow("dist/Mio.exe", "MZ");
        f.WriteNow("Leggimi.txt", "l");
        // A file outside the old folder is not looked for elsewhere.
        std::string outside = f.scratch.Path("altrove/Extra.dll");
        std::string file = f.WriteProject("1=" + f.Old(sub) + ",D\n2=" + f.Old("Leggimi.txt") +
                                              ",D\n3=" + outside + ",S\n",
                                          3, "ExeFile=" + f.Old(exe) + "\n");
        Project p;
        p.ProgFile = file;
        LoadReport report;
        ASSERT_TRUE(velaset::LoadProject(&p, "APP", &report));
        ASSERT_EQ(p.Files().size(), 2u);
        EXPECT_EQ(p.Files()[0].Text(), f.Now(sub) + ",D");
        EXPECT_EQ(p.Files()[1].Text(), f.Now("Leggimi.txt") + ",D");
        EXPECT_EQ(p.Links().size(), 1u) << "the link follows its file";
        EXPECT_EQ(p.ExeFile, f.Now(exe)) << "the executable moves with the project";
        EXPECT_EQ(velaset::LoadReportLines(report),
                  (std::vector<std::string>{
                      outside + ": il file non esiste", f.Old(sub) + ": trovato in " + f.Now(sub),
                      f.Old("Leggimi.txt") + ": trovato in " + f.Now("Leggimi.txt"),
                      "ExeFile " + f.Old(exe) + ": l'eseguibile sarà creato in " + f.Now(exe) +
                          ", nella cartella in cui ora si trova il progetto"}));
        EXPECT_TRUE(report.missingExeFolder.empty());
    }
}

TEST(MovedProject, KeepsEveryStoredPathThatStillExists) {
    MovedFixture f;
    // The old folder is still there (a copied project): its files are the ones listed.
    f.scratch.WriteFile("vecchia/Mio.exe", "old");
    f.WriteNow("Mio.exe", "new");
    Project p;
    p.ProgFile = f.WriteProject("1=" + f.Old("Mio.exe") + ",D\n", 1);
    LoadReport report;
    ASSERT_TRUE(velaset::LoadProject(&p, "APP", &report));
    ASSERT_EQ(p.Files().size(), 1u);
    EXPECT_EQ(p.Files()[0].path, f.Old("Mio.exe"));
    EXPECT_TRUE(report.Empty());
}

// A project that did not move looks nowhere else; a folder or an empty entry is no file.
TEST(MovedProject, AProjectThatDidNotMoveDropsWhatIsNoFileAndLooksNowhereElse) {
    ScratchFolder scratch;
    std::string missing = scratch.Path("Mio.exe");
    std::string folder = scratch.MakeFolder("cartella");
    std::string file = scratch.WriteFile(
        "Mio.mip", Crlf("[Progetto]\nGruppo=1\nDlgEnd=1\nNumFile=3\nProgFile=" +
                        scratch.Path("Mio.mip") + "\n[Files]\n1=" + missing + ",D\n2=" + folder +
                        ",D\n"));
    Project p;
    p.ProgFile = file;
    LoadReport report;
    ASSERT_TRUE(velaset::LoadProject(&p, "APP", &report));
    EXPECT_TRUE(p.Files().empty());
    EXPECT_EQ(velaset::LoadReportLines(report),
              (std::vector<std::string>{missing + ": il file non esiste",
                                        folder + ": il file non può essere letto (è una cartella)",
                                        "[Files] 3: la voce è vuota"}));
    EXPECT_EQ(report.dropped[0].reason, velaset::DropReason::Missing);
    EXPECT_TRUE(report.moved.empty());
}

TEST(NotAProject, TextRandomBytesAndEmptyFilesAreRefusedAsNoProject) {
    ScratchFolder scratch;
    std::string random;
    for (int i = 0; i < 600; ++i)
        random += static_cast<char>((i * 7919 + 13) % 256);
    const std::pair<const char*, std::string> files[] = {
        {"testo.mip", Crlf("Caro diario,\noggi ho provato Velaset.\n")},
        {"casuale.mip", random},
        {"vuoto.mip", ""},
        {"altro.ini", Crlf("[Impostazioni]\nGruppo=1\n")},
    };
    for (const auto& f : files) {
        std::string path = scratch.WriteFile(f.first, f.second);
        Project p;
        p.Titolo = "intatto";
        p.ProgFile = path;
        LoadReport report;
        report.moved.push_back({"x", "y"});
        platform::Status refused = velaset::LoadProject(&p, "APP", &report);
        EXPECT_FALSE(refused.ok) << f.first;
        EXPECT_EQ(refused.kind, platform::ErrorKind::Refused);
        EXPECT_EQ(refused.message,
                  "Impossibile caricare il progetto " + path +
                      ": il file non è un progetto Velaset (non ha la sezione [Progetto]).");
        EXPECT_EQ(p.Titolo, "intatto");
        EXPECT_EQ(report.moved.size(), 1u) << "a refused file reports nothing";
        EXPECT_EQ(ScratchFolder::ReadFile(path), f.second) << "the load never writes";
    }
}

TEST(LoadReportMessage, AsksBeforeOpeningOnlyWhenEntriesWereLeftOut) {
    LoadReport moved;
    moved.moved.push_back({"/a/x.exe", "/b/x.exe"});
    std::string info = velaset::LoadReportMessage("/b/P.mip", moved);
    EXPECT_EQ(info, "Il progetto /b/P.mip non è stato caricato come era salvato:\r\n\r\n"
                    "- /a/x.exe: trovato in /b/x.exe");

    LoadReport lost;
    for (int i = 1; i <= 14; ++i) {
        velaset::DroppedEntry e;
        e.section = "Files";
        e.key = i;
        e.path = "/a/" + std::to_string(i) + ".txt";
        lost.dropped.push_back(e);
    }
    std::string question = velaset::LoadReportMessage("/b/P.mip", lost);
    EXPECT_NE(question.find("- /a/12.txt: il file non esiste\r\n- ... e altre 2 voci"),
              std::string::npos)
        << question;
    EXPECT_EQ(question.find("/a/13.txt"), std::string::npos);
    EXPECT_NE(question.find("se il progetto viene salvato (anche creando il pacchetto) saranno "
                            "tolte dal file."),
              std::string::npos);
    EXPECT_EQ(question.substr(question.size() - 37), "\r\n\r\nAprire il progetto senza di esse?");
}

} // namespace

// The profile calls on fixed files, with the answers Windows gives; and a file read once
// (ProfileSnapshot) or edited in memory (ProfileEdit) against the calls that read or write
// the whole file each time. Under Wine the calls are the system's own. Files edited are in
// the system's form (no blank lines, no blanks around "="): Wine rewrites other files in a
// normalised form on every write, where Windows edits in place.
#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/profile_file.h"
#include "platform/work_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::Crlf;
using velaset_test::ScratchFolder;
using velaset_test::WithoutBlankLines;

TEST(ProfileRead, IgnoresCaseTrimsBlanksStripsOnePairOfQuotesAndCutsToTheBuffer) {
    ScratchFolder scratch;
    const std::string absent = scratch.Path("assente.ini");
    EXPECT_EQ(platform::ReadProfileValue(absent, "S", "K", "predefinito", 255), "predefinito");
    EXPECT_EQ(platform::ReadProfileKeyNames(absent, "S", 255), "");
    EXPECT_FALSE(platform::PathExists(absent)) << "made by a read";
    const std::string file = scratch.WriteFile(
        "p.ini", Crlf("[Sezione]\n  Chiave  =  valore con spazi  \nDoppie=\"tra virgolette\"\n"
                      "Singole='tra apici'\nMezza=\"mezza\nDue=\"\"due\"\"\nVuota=\n"
                      "Interna=a \"b\" c\nSola=\"\nMisto='a\"\nLungo=" + std::string(300, 'x') + "\n[B]\ntre=3\n"));
    const struct {
        const char* section;
        const char* key;
        size_t size;
        std::string value;
    } cases[] = {
        {"sezione", "CHIAVE", 255, "valore con spazi"}, {"SEZIONE", "doppie", 255, "tra virgolette"},
        {"Sezione", "Singole", 255, "tra apici"},       {"Sezione", "Mezza", 255, "\"mezza"},
        {"Sezione", "Due", 255, "\"due\""},             {"Sezione", "Vuota", 255, ""},
        {"Sezione", "Interna", 255, "a \"b\" c"},       {"Sezione", "Sola", 255, "\""},
        {"Sezione", "Misto", 255, "'a\""},       {"Sezione", "Lungo", 255, std::string(254, 'x')},
        {"Sezione", "Lungo", 301, std::string(300, 'x')}, {"Sezione", "Altro", 255, "assente"},
        {"Altra", "Chiave", 255, "assente"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::ReadProfileValue(file, c.section, c.key, "assente", c.size), c.value)
            << c.key;
    EXPECT_EQ(platform::ReadProfileKeyNames(file, "b", 255), std::string("tre\0", 4));
    EXPECT_EQ(platform::ReadProfileKeyNames(file, "C", 255), "");
}

// Writes (a key, or "-" to remove the section); blank lines aside, which the system may
// leave before a section.
TEST(ProfileWrite, LeavesTheFileTheSystemLeaves) {
    const struct {
        const char* start; // null: no file
        std::vector<std::vector<const char*>> writes;
        const char* result;
    } cases[] = {
        // A new file gets its sections in the order of their first write.
        {nullptr,
         {{"Progetto", "Titolo", "Demo"}, {"Files", "1", "C:\\Src\\a.exe,D"},
          {"Progetto", "Gruppo", "1"}, {"Chiavi", "NumChiavi", "0"}, {"Progetto", "Vuota", ""}},
         "[Progetto]\nTitolo=Demo\nGruppo=1\nVuota=\n[Files]\n1=C:\\Src\\a.exe,D\n"
         "[Chiavi]\nNumChiavi=0\n"},
        // A key is replaced in place, keeping its spelling and the other keys.
        {"[Sez]\nChiave=1\nAltra=x\n",
         {{"SEZ", "CHIAVE", "2"}, {"sez", "chiave", "3"}},
         "[Sez]\nChiave=3\nAltra=x\n"},
        // A new key goes after the last line of its section.
        {"[A]\nx=1\n\n[B]\ny=2\n", {{"A", "z", "3"}, {"B", "w", "4"}},
         "[A]\nx=1\nz=3\n[B]\ny=2\nw=4\n"},
        {"[A]\nx=1\n[B]\ny=2\n[C]\nz=3\n", {{"b", "-"}}, "[A]\nx=1\n[C]\nz=3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        ScratchFolder scratch;
        const std::string file =
            c.start ? scratch.WriteFile("p.ini", Crlf(c.start)) : scratch.Path("p.ini");
        for (const std::vector<const char*>& w : c.writes) {
            if (w.size() == 2)
                ASSERT_TRUE(platform::DeleteProfileSection(file, w[0]));
            else
                ASSERT_TRUE(platform::WriteProfileValue(file, w[0], w[1], w[2]));
        }
        EXPECT_EQ(WithoutBlankLines(ScratchFolder::ReadFile(file)), Crlf(c.result));
    }
    ScratchFolder scratch;
    const std::string missing = platform::JoinSourcePath(scratch.Path("manca"), "p.ini");
    const platform::Status failed = platform::WriteProfileValue(missing, "S", "K", "v");
    EXPECT_EQ(failed.operation, platform::Operation::Create);
    EXPECT_EQ(failed.subject, missing);
    EXPECT_EQ(failed.kind, platform::ErrorKind::NotFound);
    EXPECT_FALSE(platform::WriteProfileValue(scratch.MakeFolder("c.ini"), "S", "K", "v").ok);
}

// Files that the reads must agree on, the awkward parts of the dialect included.
const char* const kFiles[] = {
    "[S]\n  K  =  valore con spazi  \nQ=\"tra virgolette\"\nSq='apici'\nMezza=\"mezza\n"
    "Vuota=\nSenza uguale\nDup=1\nDup=2\n;Commento=c\nE = \"  x  \" \nDue=\"\"due\"\"\n\n"
    "[T]\nx=1\n[Dup]\na=1\n[ Dup ]\nb=2\n[Vuota]\n[A B]\nz=9\n",
    "[Progetto]\nTitolo=Demo\nNumFile=2\n[Files]\n1=C:\\Src\\a.exe,D\n2=C:\\Src\\b.hlp,H\n"
    "[progetto]\nTitolo=secondo\n",
    "",
    "senza sezione=1\n[S]\nK=v",
};
const char* const kSections[] = {"S", "s", "T", "Dup", "Vuota", "A B", "Progetto", "Files",
                                 "Assente"};
// Not ";Commento": the system finds it by name but does not list it; no key starts so.
const char* const kKeys[] = {"K", "k", "Q", "Sq", "Mezza", "Vuota", "Senza uguale", "Dup",
                             "Commento", "E", "Due", "x", "a", "b", "z", "Titolo", "NumFile",
                             "1", "2", "Assente"};

TEST(ProfileSnapshot, AnswersAsTheCallsThatReadTheWholeFile) {
    ScratchFolder scratch;
    for (const char* content : kFiles) {
        const std::string file = scratch.WriteFile("p.ini", Crlf(content));
        platform::ProfileSnapshot snapshot(file);
        for (const char* section : kSections) {
            for (size_t size : {255, 4}) {
                EXPECT_EQ(snapshot.ReadKeyNames(section, size),
                          platform::ReadProfileKeyNames(file, section, size))
                    << content << "[" << section << "]";
            }
            for (const char* key : kKeys) {
                for (size_t size : {255, 5}) {
                    EXPECT_EQ(snapshot.ReadValue(section, key, "predefinito", size),
                              platform::ReadProfileValue(file, section, key, "predefinito", size))
                        << content << "[" << section << "] " << key << " " << size;
                }
            }
        }
    }
}

TEST(ProfileSnapshot, KeepsTheFileAsItWasAndReadsLongSectionsWhole) {
    ScratchFolder scratch;
    std::string content = "[Files]\r\n";
    for (int i = 1; i <= 3000; ++i)
        content += std::to_string(i) + "=C:\\Cartella lunga\\documento " + std::to_string(i) +
                   ".txt,D\r\n";
    const std::string file = scratch.WriteFile("grande.ini", content + "[Fine]\r\nK=1\r\n");
    platform::ProfileSnapshot snapshot(file);
    ASSERT_TRUE(ScratchFolder::WriteBytes(file, "[Fine]\r\nK=2\r\n"));
    EXPECT_EQ(snapshot.ReadValue("Files", "3000", "", 4096),
              "C:\\Cartella lunga\\documento 3000.txt,D");
    EXPECT_EQ(snapshot.ReadValue("Fine", "K", "", 255), "1");
    EXPECT_EQ(platform::ReadProfileValue(file, "Fine", "K", "", 255), "2");

    platform::ProfileSnapshot absent(scratch.Path("assente.ini"));
    EXPECT_EQ(absent.ReadValue("S", "K", "predefinito", 255), "predefinito");
    EXPECT_FALSE(platform::PathExists(scratch.Path("assente.ini")));
}

// A save over an older save: keys in another letter case, new keys in sections that
// exist, a new section, a shorter list.
const char* const kSaveOverOlderSave[][3] = {
    {"Progetto", "Titolo", "Demo 2"},  {"progetto", "CAPTION", "Installazione"},
    {"Progetto", "NumFile", "1"},      {"Files", "1", "C:\\Src\\nuovo.exe,D"},
    {"Progetto", "Gruppo", "1"},       {"Link", "1", "nuovo.exe,Nuovo,P"},
    {"Progetto", "Nuova", ""},         {"Chiavi", "NumChiavi", "0"},
    {"Messaggi", "Errore", "Errore!"}, {"Progetto", "Distribuzione", "0"},
};

TEST(ProfileEdit, LeavesTheBytesThatTheCallsLeave) {
    ScratchFolder scratch;
    const std::string older = Crlf("[Progetto]\nTitolo=Demo\nCaption=Vecchia\nNumFile=2\n"
                                   "[Files]\n1=C:\\Src\\a.exe,D\n2=C:\\Src\\b.hlp,H\n"
                                   "[Chiavi]\nNumChiavi=0\n");
    for (const std::string& start : {older, std::string()}) {
        const std::string byCalls = scratch.WriteFile("chiamate.ini", start);
        const std::string byEdit = scratch.WriteFile("copia.ini", start);
        if (start.empty()) {
            ASSERT_TRUE(platform::RemoveFile(byCalls));
            ASSERT_TRUE(platform::RemoveFile(byEdit));
        }
        platform::ProfileEdit edit(byEdit);
        ASSERT_TRUE(edit.Opened().ok);
        for (const auto& w : kSaveOverOlderSave) {
            ASSERT_TRUE(platform::WriteProfileValue(byCalls, w[0], w[1], w[2]));
            edit.WriteValue(w[0], w[1], w[2]);
            EXPECT_EQ(edit.ReadValue(w[0], w[1], "?", 255),
                      platform::ReadProfileValue(byCalls, w[0], w[1], "?", 255));
        }
        ASSERT_TRUE(platform::DeleteProfileSection(byCalls, "Link"));
        edit.DeleteSection("link");
        EXPECT_EQ(ScratchFolder::ReadFile(byEdit), start.empty() ? "<missing>" : start)
            << "written before the commit";
        ASSERT_TRUE(edit.Commit().ok);
        EXPECT_EQ(ScratchFolder::ReadFile(byEdit), ScratchFolder::ReadFile(byCalls));
    }
}

// A start without the old file's text replaces it whole.
TEST(ProfileEdit, CommitWritesOnlyAChangeAndLeavesNoOtherFile) {
    ScratchFolder scratch;
    const std::string file = scratch.WriteFile("p.ini", Crlf("[S]\nK=1\n"));
    platform::ProfileEdit unchanged(file);
    unchanged.DeleteSection("Assente");
    ASSERT_TRUE(unchanged.Commit().ok);
    platform::ProfileEdit absent(scratch.Path("nuovo.ini"));
    ASSERT_TRUE(absent.Commit().ok);
    EXPECT_FALSE(platform::PathExists(scratch.Path("nuovo.ini"))) << "made by a commit of nothing";
    platform::ProfileEdit edit(file, false);
    EXPECT_EQ(edit.ReadValue("S", "K", "?", 255), "?");
    edit.WriteValue("T", "K", "2");
    ASSERT_TRUE(edit.Commit().ok);
    EXPECT_EQ(ScratchFolder::ReadFile(file), Crlf("[T]\nK=2\n"));
    std::vector<std::string> names;
    ASSERT_TRUE(platform::ListFolder(scratch.Path(), &names));
    EXPECT_EQ(names, std::vector<std::string>{"p.ini"});
}

TEST(ProfileEdit, AFailedCommitNamesTheFileAndLeavesNothing) {
    ScratchFolder scratch;
    const std::string missing = platform::JoinSourcePath(scratch.Path("manca"), "p.ini");
    platform::ProfileEdit edit(missing);
    ASSERT_TRUE(edit.Opened().ok);
    edit.WriteValue("S", "K", "v");
    platform::Status status = edit.Commit();
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.operation, platform::Operation::Create);
    EXPECT_EQ(status.subject, missing);
    EXPECT_EQ(status.kind, platform::ErrorKind::NotFound);

    // A folder where the file should be: it cannot be read, so nothing is written over it.
    const std::string folder = scratch.MakeFolder("cartella.ini");
    platform::ProfileEdit overFolder(folder);
    EXPECT_FALSE(overFolder.Opened().ok);
    overFolder.WriteValue("S", "K", "v");
    EXPECT_FALSE(overFolder.Commit().ok);
    EXPECT_TRUE(platform::IsDirectory(folder));
    std::vector<std::string> names;
    ASSERT_TRUE(platform::ListFolder(scratch.Path(), &names));
    EXPECT_EQ(names, std::vector<std::string>{"cartella.ini"});
}

} // namespace

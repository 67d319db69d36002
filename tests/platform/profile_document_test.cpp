// A profile file read once (ProfileSnapshot) and edited in memory (ProfileEdit) against
// the calls that read or write the whole file each time: under Wine the system's own.
// Files written are in the system's form (no blank lines, no blanks around "="): Wine
// rewrites other files in a normalised form on every write, where Windows edits in place.
#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/profile_file.h"
#include "platform/work_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::Crlf;
using velaset_test::ScratchFolder;

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

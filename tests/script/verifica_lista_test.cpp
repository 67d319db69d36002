// VerificaLista: duplicates, clashes with their message, default destinations.
#include "builder/script/verifica_lista.h"

#include <gtest/gtest.h>

#include "builder/project/short_name_clash.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

std::string FolderOf(const std::string& path) {
    return platform::WithoutTrailingSeparator(platform::SourceFolderPart(path));
}

AddResult AddTo(VerificaLista& check, const std::string& path) {
    return check.Add(path, FolderOf(path));
}

class ShortNameCheckTest : public ::testing::Test {
  protected:
    ScratchFolder folder;
    Project project;
    DefaultFolders folders{folder.Path("win"),
                           folder.Path("win/system") + platform::SourceSeparator(),
                           platform::SourceSeparator()};
};

TEST_F(ShortNameCheckTest, SameFileTwiceChangesNothingTheSecondTime) {
    const std::string path = folder.WriteFile("src/Demo.exe");
    VerificaLista check(project, folders);
    EXPECT_EQ(AddTo(check, path).outcome, AddOutcome::Added);
    const AddResult again = AddTo(check, path);
    EXPECT_EQ(again.outcome, AddOutcome::Duplicate);
    EXPECT_EQ(again.message, "");
    // A later run sees the listed file too.
    VerificaLista next(project, folders);
    EXPECT_EQ(AddTo(next, path).outcome, AddOutcome::Duplicate);
    ASSERT_EQ(project.Files().size(), 1u);
    EXPECT_EQ(project.Files()[0].destination, "D");
}

TEST_F(ShortNameCheckTest, DocumentsOfTwoFoldersWithOneShortNameGiveTheExactMessage) {
    const std::string lungo = folder.WriteFile("A/Documento lungo.txt");
    const std::string largo = folder.WriteFile("B/Documento largo.txt");
    VerificaLista check(project, folders);
    ASSERT_EQ(AddTo(check, lungo).outcome, AddOutcome::Added);
    const AddResult result = AddTo(check, largo);
    // Windows numbers each folder's names: both are DOCUME~1.TXT. Wine hashes the long
    // name instead, so there the two differ and the second file is simply added.
    if (ShortName(lungo) != ShortName(largo)) {
        EXPECT_EQ(result.outcome, AddOutcome::Added);
        return;
    }
    EXPECT_EQ(ShortName(largo), "DOCUME~1.TXT");
    ASSERT_EQ(result.outcome, AddOutcome::Clash);
    EXPECT_EQ(result.clashingPath, lungo);
    EXPECT_EQ(result.message,
              "I seguenti files:\r\n\r\n" + lungo + "\r\n" + largo +
                  "\r\r\nhanno lo stesso nome corto in formato\r\nDOS 8.3, ovvero: DOCUME~1.TXT"
                  "\r\n\r\nPer evitare possibili conflitti si consiglia di\rspostare entrambi i "
                  "files nella stessa cartella\r\ne ricaricare tali file nella lista "
                  "sottostante,\r\noppure rinominarne uno dei due.");
    EXPECT_EQ(project.Files().size(), 1u);
}

TEST_F(ShortNameCheckTest, OneLongNameInTwoFoldersClashesWithTheFirstListed) {
    const std::string first = folder.WriteFile("A/Documento lungo.txt");
    const std::string second = folder.WriteFile("B/Documento lungo.txt");
    const std::string third = folder.WriteFile("C/Documento lungo.txt");
    VerificaLista check(project, folders);
    ASSERT_EQ(AddTo(check, first).outcome, AddOutcome::Added);
    ASSERT_EQ(AddTo(check, folder.WriteFile("A/other.txt")).outcome, AddOutcome::Added);
    for (const std::string& path : {second, third}) {
        const AddResult result = AddTo(check, path);
        ASSERT_EQ(result.outcome, AddOutcome::Clash) << path;
        EXPECT_EQ(result.clashingPath, first);
        EXPECT_NE(result.message.find("DOS 8.3, ovvero: " + ShortName(path) + "\r\n"),
                  std::string::npos);
    }
    EXPECT_EQ(project.Files().size(), 2u);
}

TEST_F(ShortNameCheckTest, SamePathInOtherLetterCaseIsNoDuplicateButClashes) {
    const std::string path = folder.WriteFile("src/Demo.exe");
    VerificaLista check(project, folders);
    ASSERT_EQ(AddTo(check, path).outcome, AddOutcome::Added);
    const std::string other = folder.Path("SRC/DEMO.EXE");
    EXPECT_EQ(AddTo(check, other).outcome, AddOutcome::Clash);
}

// Written before the check starts: the system numbers their short names in one folder.
TEST_F(ShortNameCheckTest, FilesOfOneFolderNeverClash) {
    const char* names[] = {"Documento lungo.txt", "Documento largo.txt", "Documento 3.txt"};
    for (const char* name : names)
        folder.WriteFile(std::string("same/") + name);
    VerificaLista check(project, folders);
    for (const char* name : names)
        EXPECT_EQ(AddTo(check, folder.Path(std::string("same/") + name)).outcome, AddOutcome::Added)
            << name;
}

TEST_F(ShortNameCheckTest, VanishedFilesClashOnlyWithEachOther) {
    VerificaLista check(project, folders);
    ASSERT_EQ(AddTo(check, folder.WriteFile("src/real.txt")).outcome, AddOutcome::Added);
    ASSERT_EQ(AddTo(check, folder.Path("src/gone1.txt")).outcome, AddOutcome::Added);
    const AddResult second = AddTo(check, folder.Path("src/gone2.txt"));
    EXPECT_EQ(second.outcome, AddOutcome::Clash);
    EXPECT_EQ(second.clashingPath, folder.Path("src/gone1.txt"));
}

TEST_F(ShortNameCheckTest, DefaultCodeComesFromTheChosenFolder) {
    struct Case {
        const char* file;
        const char* code;
    };
    const Case cases[] = {
        {"win/a.ini", "W"},        {"win/help/b.hlp", "H"},       {"win/inf/c.inf", "I"},
        {"win/system/d.dll", "S"}, {"win/system/sub/e.dll", "D"}, {"elsewhere/f.exe", "D"},
    };
    VerificaLista check(project, folders);
    for (const Case& c : cases) {
        ASSERT_EQ(AddTo(check, folder.WriteFile(c.file)).outcome, AddOutcome::Added) << c.file;
        EXPECT_EQ(project.Files().back().destination, c.code) << c.file;
    }
}

TEST_F(ShortNameCheckTest, FullListRefusesWithTheListMessage) {
    for (int i = 0; i < kMaxListEntries; ++i) {
        ASSERT_TRUE(project.AddFile({folder.Path("none/" + std::to_string(i) + ".x"), "D"}).ok);
    }
    VerificaLista check(project, folders);
    const AddResult result = AddTo(check, folder.WriteFile("src/one.txt"));
    EXPECT_EQ(result.outcome, AddOutcome::Refused);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(project.Files().size(), static_cast<size_t>(kMaxListEntries));
}

} // namespace
} // namespace velaset

#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/profile_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::Crlf;
using velaset_test::ScratchFolder;
using velaset_test::WithoutBlankLines;

std::string Read(const std::string& file, const char* section, const char* key) {
    return platform::ReadProfileValue(file, section, key, "", 255);
}

TEST(ProfileRead, AbsentFileSectionOrKeyGiveTheDefaultAndCreateNothing) {
    ScratchFolder scratch;
    std::string absent = scratch.Path("assente.ini");
    EXPECT_EQ(platform::ReadProfileValue(absent, "S", "K", "predefinito", 255), "predefinito");
    EXPECT_EQ(platform::ReadProfileKeyNames(absent, "S", 255), "");
    EXPECT_FALSE(platform::PathExists(absent));

    std::string file = scratch.WriteFile("p.ini", Crlf("[S]\nK=v\n"));
    EXPECT_EQ(platform::ReadProfileValue(file, "Altra", "K", "d", 255), "d");
    EXPECT_EQ(platform::ReadProfileValue(file, "S", "Altro", "d", 255), "d");
    EXPECT_EQ(Read(file, "S", "K"), "v");
}

TEST(ProfileRead, IgnoresCaseTrimsBlanksAndStripsOnePairOfQuotes) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile(
        "p.ini", Crlf("[Sezione]\n  Chiave  =  valore con spazi  \nDoppie=\"tra virgolette\"\n"
                      "Singole='tra apici'\nMezza=\"mezza\nDue=\"\"due\"\"\nVuota=\n"
                      "Interna=a \"b\" c\n"));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"sezione", "CHIAVE", "valore con spazi"},
        {"SEZIONE", "doppie", "tra virgolette"},
        {"Sezione", "Singole", "tra apici"},
        {"Sezione", "Mezza", "\"mezza"},
        {"Sezione", "Due", "\"due\""},
        {"Sezione", "Vuota", ""},
        {"Sezione", "Interna", "a \"b\" c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ReadProfileValue(file, c.section, c.key, "assente", 255), c.value)
            << c.key;
}

TEST(ProfileRead, CutsLongValuesToTheBuffer) {
    ScratchFolder scratch;
    std::string value(300, 'x');
    std::string file = scratch.WriteFile("p.ini", Crlf("[S]\nK=" + value + "\n"));
    EXPECT_EQ(Read(file, "S", "K"), std::string(254, 'x'));
    EXPECT_EQ(platform::ReadProfileValue(file, "S", "K", "", 301), value);
}

TEST(ProfileRead, ListsTheKeysOfASection) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.ini", Crlf("[A]\nuno=1\nDue=2\n[B]\ntre=3\n"));
    EXPECT_EQ(platform::ReadProfileKeyNames(file, "a", 255), std::string("uno\0Due\0", 8));
    EXPECT_EQ(platform::ReadProfileKeyNames(file, "C", 255), "");
}

TEST(ProfileWrite, NewFileGetsSectionsInOrderOfFirstWrite) {
    ScratchFolder scratch;
    std::string file = scratch.Path("nuovo.ini");
    ASSERT_TRUE(platform::WriteProfileValue(file, "Progetto", "Titolo", "Demo"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "Files", "1", "C:\\Src\\a.exe,D"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "Progetto", "Gruppo", "1"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "Chiavi", "NumChiavi", "0"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "Progetto", "Vuota", ""));
    EXPECT_EQ(ScratchFolder::ReadFile(file),
              Crlf("[Progetto]\nTitolo=Demo\nGruppo=1\nVuota=\n[Files]\n1=C:\\Src\\a.exe,D\n"
                   "[Chiavi]\nNumChiavi=0\n"));
}

TEST(ProfileWrite, ReplacesAKeyInPlaceKeepingItsSpelling) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.ini", Crlf("[Sez]\nChiave=1\nAltra=x\n"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "SEZ", "CHIAVE", "2"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "sez", "chiave", "3"));
    EXPECT_EQ(ScratchFolder::ReadFile(file), Crlf("[Sez]\nChiave=3\nAltra=x\n"));
}

TEST(ProfileWrite, PutsANewKeyAfterTheLastLineOfItsSection) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.ini", Crlf("[A]\nx=1\n\n[B]\ny=2\n"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "A", "z", "3"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "B", "w", "4"));
    EXPECT_EQ(WithoutBlankLines(ScratchFolder::ReadFile(file)),
              Crlf("[A]\nx=1\nz=3\n[B]\ny=2\nw=4\n"));
}

TEST(ProfileWrite, KeepsOtherKeysAndStaleLines) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.ini", Crlf("[Files]\n1=a\n2=b\n3=c\n"));
    ASSERT_TRUE(platform::WriteProfileValue(file, "Files", "1", "nuovo"));
    EXPECT_EQ(Read(file, "Files", "3"), "c");
    EXPECT_EQ(Read(file, "Files", "1"), "nuovo");
}

TEST(ProfileWrite, FailsWhenTheFolderIsMissing) {
    ScratchFolder scratch;
    std::string file = platform::JoinSourcePath(scratch.Path("manca"), "p.ini");
    platform::Status status = platform::WriteProfileValue(file, "S", "K", "v");
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.operation, platform::Operation::Create);
    EXPECT_EQ(status.subject, file);
    EXPECT_EQ(status.kind, platform::ErrorKind::NotFound);
    EXPECT_EQ(status.message, platform::SystemErrorText(status.systemError));
}

TEST(ProfileWrite, FailsWhenThePathIsAFolder) {
    ScratchFolder scratch;
    std::string folder = scratch.MakeFolder("cartella.ini");
    EXPECT_FALSE(platform::WriteProfileValue(folder, "S", "K", "v").ok);
}

TEST(ProfileDelete, RemovesTheSectionWithItsKeys) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.ini", Crlf("[A]\nx=1\n[B]\ny=2\n[C]\nz=3\n"));
    ASSERT_TRUE(platform::DeleteProfileSection(file, "b"));
    EXPECT_EQ(WithoutBlankLines(ScratchFolder::ReadFile(file)), Crlf("[A]\nx=1\n[C]\nz=3\n"));
    EXPECT_EQ(Read(file, "B", "y"), "");
}

} // namespace

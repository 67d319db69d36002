// The profile calls on fixed files, with the answers Windows gives (under Wine these are
// the system's own calls).
#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/profile_file.h"
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

} // namespace

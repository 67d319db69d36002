#include "builder/script/long_name_sections.h"

#include <gtest/gtest.h>

namespace velaset {
namespace {

const std::string R = "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\Splash";
const std::string X = "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\DeleteFiles\\Splash";

std::string Sections(const std::vector<ScriptFile>& files, char code) {
    ScriptText out;
    SezioniNomiLunghi(out, files, code);
    return out.Text();
}

// The sections of the other shapes (none, empty, one long name) are in the golden scripts.
TEST(LongNameSections, LaterLongNameIsFoundAndOnlyLongNamesAreListedInOrder) {
    const std::vector<ScriptFile> files = {
        {"/s/a.exe", "a.exe", "a.exe", "S"},
        {"/s/Primo lungo.dll", "Primo lungo.dll", "PRIMOL~1.DLL", "S*"},
        {"/s/other.txt", "other.txt", "other.txt", "D"},
        {"/s/Secondo lungo.txt", "Secondo lungo.txt", "SECOND~1.TXT", "S"},
    };
    const std::string expected = "\r\n[SplashRenameFilesS]\r\n" + R + "S,,,\"%11%\\\"\r\n" + R +
                                 "S,PRIMOL~1.DLL,,\"Primo lungo.dll\"\r\n" + R +
                                 "S,SECOND~1.TXT,,\"Secondo lungo.txt\"\r\n" +
                                 "\r\n[SplashRemoveLFNsS]\r\n" + X + "S,,,\"%11%\\\"\r\n" + X +
                                 "S,PRIMOL~1.DLL,,\"Primo lungo.dll\"\r\n" + X +
                                 "S,SECOND~1.TXT,,\"Secondo lungo.txt\"\r\n";
    EXPECT_EQ(Sections(files, 'S'), expected);
}

TEST(LongNameSections, NameDifferingOnlyInCaseIsNotLong) {
    EXPECT_FALSE(HasLongName({"", "readme.txt", "README.TXT", "D"}));
    EXPECT_TRUE(HasLongName({"", "Guida lunga.hlp", "GUIDAL~1.HLP", "H"}));
    // A file whose short form is unknown has an empty short name, which differs.
    EXPECT_TRUE(HasLongName({"", "a.exe", "", "D"}));
}

} // namespace
} // namespace velaset

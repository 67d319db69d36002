#include <gtest/gtest.h>

#include <set>

#include "platform/file_access.h"
#include "platform/short_name_rule.h"
#include "platform/short_path.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "tests/support/no_short_names.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

struct ShortNameCase {
    const char* longName;
    std::vector<std::string> siblings;
    const char* shortName;
};

TEST(ClassicShortName, FollowsTheWindowsRule) {
    const ShortNameCase cases[] = {
        {"Guida lunga.hlp", {"Guida lunga.hlp"}, "GUIDAL~1.HLP"},
        {"Documento largo.txt", {"Documento largo.txt", "Documento lungo.txt"}, "DOCUME~1.TXT"},
        {"Documento lungo.txt", {"Documento largo.txt", "Documento lungo.txt"}, "DOCUME~2.TXT"},
        {"Readme.txt", {"Readme.txt"}, "Readme.txt"}, // already 8.3: case kept
        {"setup.CAB", {"setup.CAB"}, "setup.CAB"},
        {"MAKEFILE", {}, "MAKEFILE"},
        {"pagina.html", {}, "PAGINA~1.HTM"},       // extension too long
        {"my.setup.file.txt", {}, "MYSETU~1.TXT"}, // dots but the last dropped
        {"a+b=c[1].txt", {}, "A_B_C_~1.TXT"},      // characters not allowed in 8.3
        {"ab cd.txt", {}, "ABCD~1.TXT"},           // short base after dropping blanks
        {"nome lungo", {}, "NOMELU~1"},            // no extension
        {"Documento lungo.txt", {"documento lungo.txt", "Documento lungo.txt"}, "DOCUME~1.TXT"},
    };
    for (const ShortNameCase& c : cases)
        EXPECT_EQ(platform::ClassicShortName(c.longName, c.siblings), c.shortName) << c.longName;
    // The number takes the base's room as it grows past nine and ninety-nine.
    std::vector<std::string> names;
    for (int i = 1; i <= 100; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Documento %03d.txt", i);
        names.push_back(name);
    }
    EXPECT_EQ(platform::ClassicShortName(names[8], names), "DOCUME~9.TXT");
    EXPECT_EQ(platform::ClassicShortName(names[9], names), "DOCUM~10.TXT");
    EXPECT_EQ(platform::ClassicShortName(names[98], names), "DOCUM~99.TXT");
    EXPECT_EQ(platform::ClassicShortName(names[99], names), "DOCU~100.TXT");
}

TEST(NumberedShortName, GivesTheBaseWayToTheNumber) {
    const std::pair<size_t, const char*> numbered[] = {
        {1, "LEGGIM~1.TXT"}, {12, "LEGGI~12.TXT"}, {123, "LEGG~123.TXT"}, {1234, "LEG~1234.TXT"}};
    for (const auto& [n, name] : numbered)
        EXPECT_EQ(platform::NumberedShortName("Leggimi per primo.txt", n), name);
    EXPECT_EQ(platform::NumberedShortName("a+b.txt", 3), "A_B~3.TXT");
    EXPECT_EQ(platform::NumberedShortName("x;y=z [1],2.html", 1), "X_Y_Z_~1.HTM");
    EXPECT_EQ(platform::NumberedShortName("Però", 1), "PER_~1");
    for (size_t n : {1u, 9u, 10u, 99u, 100u, 999u, 1000u, 32767u})
        EXPECT_TRUE(platform::IsShortName(platform::NumberedShortName("Documento lungo.text", n)))
            << n;
}

TEST(IsShortName, AcceptsOnlyValidEightThreeNames) {
    for (const char* yes : {"A.TXT", "Readme.txt", "12345678.123", "X", "A_B~1.C"})
        EXPECT_TRUE(platform::IsShortName(yes)) << yes;
    for (const char* no :
         {"", "123456789.TXT", "A.HTML", "A.B.C", "A B.TXT", "A+B.TXT", ".TXT", "A.", "à.txt"})
        EXPECT_FALSE(platform::IsShortName(no)) << no;
}

// The POSIX layer gives the classic names; Wine hashes its short names (GUID~T2Q.HLP), so
// there the name must be a valid 8.3 name with the same extension.
void ExpectShortName(const std::string& shortPath, const std::string& folder,
                     const std::string& classic) {
    ASSERT_FALSE(shortPath.empty());
    std::string name = platform::SourceFileName(shortPath);
    EXPECT_TRUE(platform::IsShortName(name)) << shortPath;
#ifdef _WIN32
    (void)folder;
    EXPECT_EQ(name.substr(name.find('.') == std::string::npos ? name.size() : name.find('.')),
              classic.substr(classic.find('.') == std::string::npos ? classic.size()
                                                                    : classic.find('.')));
#else
    EXPECT_EQ(shortPath, platform::JoinSourcePath(folder, classic));
#endif
}

// Long names get numbered ones in the order they were made, an 8.3 name stays as it is.
TEST(ShortPath, GivesTheShortNamesOfExistingFiles) {
    ScratchFolder scratch;
    const std::string folder = platform::ShortPath(scratch.Path());
    ASSERT_FALSE(folder.empty());
    ExpectShortName(platform::ShortPath(scratch.WriteFile("Guida lunga.hlp", "h")), folder,
                    "GUIDAL~1.HLP");
    std::set<std::string> shortNames;
    for (int i = 1; i <= 10; ++i) {
        char name[32], classic[16];
        std::snprintf(name, sizeof name, "Documento %02d.txt", i);
        std::snprintf(classic, sizeof classic, i < 10 ? "DOCUME~%d.TXT" : "DOCUM~%d.TXT", i);
        const std::string shortPath = platform::ShortPath(scratch.WriteFile(name, name));
        ExpectShortName(shortPath, folder, classic);
        shortNames.insert(shortPath);
    }
    EXPECT_EQ(shortNames.size(), 10u);
    const std::string readme = scratch.WriteFile("Readme.txt", "r");
    EXPECT_EQ(platform::ShortPath(readme), platform::JoinSourcePath(folder, "Readme.txt"));
    const std::string sub = scratch.MakeFolder("Cartella lunga");
    const std::string shortFolder = platform::ShortPath(sub);
    EXPECT_TRUE(platform::IsShortName(platform::SourceFileName(shortFolder))) << shortFolder;
    EXPECT_EQ(platform::ShortPath(scratch.WriteFile("Cartella lunga/a.txt", "a")),
              platform::JoinSourcePath(shortFolder, "a.txt"));
    for (const std::string& missing :
         {scratch.Path("manca.txt"), scratch.Path("manca/Readme.txt"), std::string()})
        EXPECT_EQ(platform::ShortPath(missing), "") << missing;
}

#ifndef _WIN32
// As GetShortPathNameA answers there; nothing is found by a short name.
TEST(ShortPath, AVolumeWithoutShortNamesAnswersTheLongPath) {
    ScratchFolder scratch;
    const std::string file = scratch.WriteFile("Cartella lunga/Leggimi per primo.txt", "x");
    const std::string plain = scratch.WriteFile("Cartella lunga/a.txt", "a");
    const std::string classic = platform::ShortPath(file);
    EXPECT_EQ(platform::SourceFileName(classic), "LEGGIM~1.TXT");
    {
        velaset_test::NoShortNamesVolume volume;
        EXPECT_EQ(platform::ShortPath(file), file);
        EXPECT_EQ(platform::ShortPath(plain), plain);
        platform::ShortPathCache cache;
        EXPECT_EQ(cache.ShortPath(file), file);
        EXPECT_EQ(cache.ShortPath(plain), plain);
        EXPECT_EQ(cache.ShortPath(classic), "") << "no file has that short name";
        EXPECT_FALSE(platform::IsReadableFile(classic));
        EXPECT_TRUE(platform::IsReadableFile(scratch.Path("CARTELLA LUNGA/leggimi PER primo.TXT")))
            << "letter case is still ignored";
    }
    EXPECT_EQ(platform::ShortPath(file), classic);
    EXPECT_TRUE(platform::IsReadableFile(classic));
}
#endif

TEST(FileAccess, FindsAFileByAnySpellingTellsFilesFoldersAndMissingPathsApartAndRemoves) {
    ScratchFolder scratch;
    scratch.MakeFolder("Cartella lunga");
    scratch.WriteFile(platform::JoinSourcePath("Cartella lunga", "setup.CAB"), "cabinet");
    const std::string other = platform::JoinSourcePath(scratch.Path("CARTELLA LUNGA"), "Setup.cab");
    EXPECT_EQ(ScratchFolder::ReadFile(other), "cabinet");
    EXPECT_TRUE(platform::IsReadableFile(other));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path("cartella lunga")));
    const std::string file = scratch.WriteFile(
        platform::JoinSourcePath("Cartella lunga", "Documento lungo.txt"), "testo");
    const std::string shortPath = platform::ShortPath(file);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(ScratchFolder::ReadFile(shortPath), "testo");
    ScratchFolder::WriteBytes(shortPath, "nuovo");
    EXPECT_EQ(ScratchFolder::ReadFile(file), "nuovo");

    EXPECT_FALSE(platform::IsDirectory(file));
    EXPECT_FALSE(platform::IsReadableFile(scratch.Path()));
    EXPECT_TRUE(platform::IsDirectory(scratch.Path()));
    EXPECT_FALSE(platform::PathExists(scratch.Path("b.txt")));
    EXPECT_FALSE(platform::IsReadableFile(scratch.Path("b.txt")));
    EXPECT_TRUE(platform::RemoveFile(file));
    EXPECT_FALSE(platform::PathExists(file));
    EXPECT_TRUE(platform::RemoveFile(file)) << "a missing file is no failure";
}

} // namespace

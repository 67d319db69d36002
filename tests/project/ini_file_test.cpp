#include <gtest/gtest.h>

#include "builder/project/ini_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::ReadIni;
using velaset::WriteIni;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

TEST(IniFile, ReadsAbsentValuesAsEmptyAndCreatesNothing) {
    ScratchFolder scratch;
    std::string file = scratch.Path("assente.mip");
    EXPECT_EQ(ReadIni(file, "Progetto", "Titolo"), "");
    EXPECT_FALSE(platform::PathExists(file));
    velaset::cIniFile ini;
    ini.SetPath(file);
    ini.SetSection("Progetto");
    ini.SetKey("Titolo");
    ini.SetDefault("predefinito");
    EXPECT_EQ(ini.Value(), "predefinito");
    EXPECT_EQ(ini.LastReturnCode(), 0);
}

// Each value written comes back as it was given: texts in Windows-1252, long ones whole,
// blanks and quotes that the dialect would take off kept, NUL characters dropped; a key
// written again keeps one line with the last value.
TEST(IniFile, ReadsBackEveryValueAsWritten) {
    ScratchFolder scratch;
    std::string file = scratch.Path("p.mip");
    const std::pair<std::string, std::string> values[] = {
        {" spazi ", " spazi "},
        {"dietro ", "dietro "},
        {"\"tra virgolette\"", "\"tra virgolette\""},
        {"'apici'", "'apici'"},
        {"\t", "\t"},
        {"\"", "\""},
        {"\"\"", "\"\""},
        {"HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\"",
         "HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\""},
        {std::string("a\0b\0\0c", 6), "abc"},
    };
    for (const auto& v : values) {
        ASSERT_TRUE(WriteIni(file, "S", "K", v.first));
        EXPECT_EQ(ReadIni(file, "S", "K"), v.second) << v.second;
    }
    for (size_t length : {253, 254, 255, 300, 509, 510, 5000}) {
        std::string value(length, 'y');
        value.back() = 'z';
        ASSERT_TRUE(WriteIni(file, "S", "K", value));
        EXPECT_EQ(ReadIni(file, "S", "K"), value) << length;
    }
    ASSERT_TRUE(WriteIni(file, "S", "K", "installerà — così"));
    EXPECT_EQ(ScratchFolder::ReadFile(file), Crlf("[S]\nK=installer\xE0 \x97 cos\xEC\n"));
    EXPECT_EQ(ReadIni(file, "S", "K"), "installerà — così");
}

TEST(IniFile, RefusesTextsTheFileCannotHold) {
    ScratchFolder scratch;
    std::string file = scratch.Path("p.mip");
    platform::Status refused = WriteIni(file, "Progetto", "Caption", "日本");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("Caption"), std::string::npos);
    // Any line break would start a line of its own: CR LF, LF alone, CR alone.
    for (const char* broken : {"due\r\nrighe", "due\nrighe", "due\rrighe"})
        EXPECT_FALSE(WriteIni(file, "Progetto", "Caption", broken).ok) << broken;
    EXPECT_FALSE(platform::PathExists(file));
}

TEST(IniFile, ReportsAFailedWriteInItsReturnCode) {
    ScratchFolder scratch;
    velaset::cIniFile ini;
    ini.SetPath(platform::JoinSourcePath(scratch.Path("manca"), "p.mip"));
    ini.SetSection("S");
    ini.SetKey("K");
    EXPECT_FALSE(ini.SetValue("v").ok);
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ini.SetPath(scratch.Path("p.mip"));
    EXPECT_TRUE(ini.SetValue("v").ok);
    EXPECT_NE(ini.LastReturnCode(), 0);
}

TEST(IniFile, ListsSectionsWholeAndDeletesThem) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("p.mip", Crlf("[A]\nx=1\ny=2\n[B]\nz=3\n"));
    velaset::cIniFile ini;
    ini.SetPath(file);
    ini.SetSection("A");
    EXPECT_EQ(ini.INISection(), std::string("x\0y\0", 4));
    EXPECT_TRUE(ini.DeleteSection().ok);
    EXPECT_EQ(ini.INISection(), "");
    EXPECT_EQ(ReadIni(file, "B", "z"), "3");
    std::string expected; // many keys, whole
    for (int i = 1; i <= 200; ++i) {
        ASSERT_TRUE(WriteIni(file, "A", std::to_string(i), "x"));
        expected += std::to_string(i) + '\0';
    }
    EXPECT_EQ(ini.INISection(), expected);
}

// A reading answers from the file as it was when it began; a write through the calls
// meanwhile reaches the file and the reading takes the file again.
TEST(IniFileSessions, AReadingReadsTheFileOnce) {
    ScratchFolder scratch;
    std::string file =
        scratch.WriteFile("p.mip", Crlf("[S]\nK=prima\nLungo=" + std::string(600, 'x') + "\n"));
    {
        velaset::IniFileReading reading(file);
        ASSERT_TRUE(ScratchFolder::WriteBytes(file, Crlf("[S]\nK=dopo\n")));
        EXPECT_EQ(ReadIni(file, "S", "K"), "prima");
        EXPECT_EQ(ReadIni(file, "S", "Lungo"), std::string(600, 'x'));
        velaset::cIniFile ini;
        ini.SetPath(file);
        ini.SetSection("S");
        EXPECT_EQ(ini.INISection(), std::string("K\0Lungo\0", 8));
        ASSERT_TRUE(WriteIni(file, "S", "M", "scritto"));
        EXPECT_EQ(ReadIni(file, "S", "K"), "dopo");
        EXPECT_EQ(ReadIni(file, "S", "M"), "scritto");
    }
    EXPECT_EQ(ScratchFolder::ReadFile(file), Crlf("[S]\nK=dopo\nM=scritto\n"));
}

// An editing keeps its writes in memory, where its reads see them, until Commit puts
// the whole file in place; dropped without Commit, it leaves the file alone. Other
// files are not part of it.
TEST(IniFileSessions, AnEditingWritesTheFileOnlyOnCommit) {
    ScratchFolder scratch;
    const std::string before = Crlf("[S]\nK=1\n");
    std::string file = scratch.WriteFile("p.mip", before);
    std::string other = scratch.Path("altro.mip");
    {
        velaset::IniFileEditing editing(file);
        ASSERT_TRUE(editing.Opened().ok);
        ASSERT_TRUE(WriteIni(file, "S", "K", " con spazi "));
        ASSERT_TRUE(WriteIni(file, "Nuova", "Chiave", "città"));
        ASSERT_TRUE(WriteIni(other, "S", "K", "subito"));
        EXPECT_EQ(ReadIni(file, "S", "K"), " con spazi ");
        EXPECT_EQ(ReadIni(file, "Nuova", "Chiave"), "città");
        EXPECT_EQ(ScratchFolder::ReadFile(file), before);
        EXPECT_EQ(ScratchFolder::ReadFile(other), Crlf("[S]\nK=subito\n"));
    }
    EXPECT_EQ(ScratchFolder::ReadFile(file), before);
    EXPECT_EQ(ReadIni(file, "S", "K"), "1");

    velaset::IniFileEditing editing(file);
    ASSERT_TRUE(WriteIni(file, "S", "K", "2"));
    ASSERT_TRUE(WriteIni(file, "S", "L", "3"));
    ASSERT_TRUE(editing.Commit().ok);
    EXPECT_EQ(ScratchFolder::ReadFile(file), Crlf("[S]\nK=2\nL=3\n"));
}

TEST(IniFileSessions, AnEditingOfAFileThatCannotBeReadCommitsNothing) {
    ScratchFolder scratch;
    std::string folder = scratch.MakeFolder("cartella.mip");
    velaset::IniFileEditing editing(folder);
    EXPECT_FALSE(editing.Opened().ok);
    EXPECT_EQ(editing.Opened().subject, folder);
    EXPECT_FALSE(editing.Commit().ok);
    EXPECT_TRUE(platform::IsDirectory(folder));
}

} // namespace

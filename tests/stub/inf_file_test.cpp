// The setup script as the runtime reads it beyond the profile calls: INF
// fields, %tokens%, library lists, and the long names and links it undoes.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "inf_actions.h"
#include "inf_file.h"
#include "setup_common/library_list.h"
#include "setup_common/text.h"

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    char* field[8];
    int count = InfSplitFields(text.data(), field, 8);
    return std::vector<std::string>(field, field + (count < 8 ? count : 8));
}

struct SplitCase {
    const char* line;
    std::vector<std::string> fields;
};

TEST(InfFields, SplitAsTheInfInstallerDoes) {
    const SplitCase cases[] = {
        {R"(setup.ini , group42, , """Demo"", ""%PROGDIR%\Demo.exe"",,, Demo,"%PROGDIR%"")",
         {"setup.ini", "group42", "", R"("Demo", "%PROGDIR%\Demo.exe",,, Demo,%PROGDIR%)"}},
        {R"(setup.ini, group42,,"""Disinstalla Demo"",""rundll32.exe avviora.dll,Disinstalla %PROGDIR%"",""%11%\shell32.dll"",31,Demo")",
         {"setup.ini", "group42", "",
          R"("Disinstalla Demo","rundll32.exe avviora.dll,Disinstalla %PROGDIR%","%11%\shell32.dll",31,Demo)"}},
        {R"(setup.ini, progman.groups,, "group2=""..\..\Desktop""")",
         {"setup.ini", "progman.groups", "", R"(group2="..\..\Desktop")"}},
        {R"(HKLM,Software\Microsoft\Windows\CurrentVersion\RenameFiles\SplashH,GUIDAL~1.HLP,,"Guida lunga.hlp")",
         {"HKLM", R"(Software\Microsoft\Windows\CurrentVersion\RenameFiles\SplashH)",
          "GUIDAL~1.HLP", "", "Guida lunga.hlp"}},
        {"Demo.exe ; installed into the folder", {"Demo.exe"}},
        {"a,,", {"a", "", ""}},
        {R"("a;b" , c)", {"a;b", "c"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(Fields(c.line), c.fields) << c.line;
}

// Fields the line lacks are empty; fields beyond the array are counted, not stored.
TEST(InfFields, FieldsTheLineLacksAreEmptyAndFieldsBeyondTheArrayCount) {
    char line[] = "HKLM, Software\\Demo";
    char* field[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(InfSplitFields(line, field, 5), 2);
    EXPECT_STREQ(field[1], "Software\\Demo");
    for (int i = 2; i < 5; ++i)
        ASSERT_TRUE(field[i] != nullptr && field[i][0] == 0) << i;
    char longer[] = "1,2,3,4";
    EXPECT_EQ(InfSplitFields(longer, field, 2), 4);
    EXPECT_STREQ(field[1], "2");
    EXPECT_STREQ(field[2], "") << "beyond the array: untouched";
}

class ScriptFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "avviora_test_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder_.c_str(), nullptr);
        script_ = folder_ + "\\setup.inf";
    }
    void TearDown() override {
        DeleteFileA(script_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    void WriteScript(const std::string& text) { std::ofstream(script_, std::ios::binary) << text; }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static void Touch(const std::string& path) { std::ofstream(path, std::ios::binary) << "x"; }
    std::string Expand(const char* text, int size = MAX_PATH) {
        std::vector<char> out(size);
        InfExpand(script_.c_str(), text, out.data(), size);
        return out.data();
    }
    std::string folder_, script_;
};

TEST_F(ScriptFolder, ExpandsStringsAndFolderNumbers) {
    WriteScript("[Strings]\r\nPROGDIR=C:\\PROGRA~1\\Demo\r\n");
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(Expand("%PROGDIR%\\Demo.exe"), "C:\\PROGRA~1\\Demo\\Demo.exe");
    EXPECT_EQ(Expand("%11%\\shell32.dll"), std::string(system) + "\\shell32.dll");
    EXPECT_EQ(Expand("%18%\\"), std::string(windows) + "\\help\\");
    EXPECT_EQ(Expand("%17%"), std::string(windows) + "\\inf");
    EXPECT_EQ(Expand("100%%"), "100%");
    EXPECT_EQ(Expand("%UNKNOWN%\\%PROGDIR%"), "%UNKNOWN%\\C:\\PROGRA~1\\Demo");
    EXPECT_EQ(Expand("%PROGDIR%\\Demo.exe", 8), "C:\\PROG");
}

TEST(Text, AppendNeverRunsPastTheBuffer) {
    char buffer[8] = "abc";
    TextAppend(buffer, sizeof buffer, "defghij");
    EXPECT_STREQ(buffer, "abcdefg");
    TextAppend(buffer, sizeof buffer, "x");
    EXPECT_STREQ(buffer, "abcdefg");
}

TEST(Text, PlainFileNamesHaveNoFolder) {
    const std::pair<const char*, int> cases[] = {
        {"Guida lunga.hlp", 1}, {"GUIDAL~1.HLP", 1}, {"", 0},    {".", 0}, {"..", 0},
        {"..\\boot.ini", 0},    {"C:boot", 0},       {"a/b", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPlainFileName(c.first), c.second) << c.first;
}

TEST_F(ScriptFolder, LibraryListsHoldEveryNamedLibrary) {
    std::string text = "[SelfRegisterP]\r\nNb=150\r\n";
    for (int i = 1; i <= 150; i++)
        text += "DLL_" + std::to_string(i) + "=lib" + std::to_string(i) + ".dll\r\n";
    text += "[SelfRegisterS]\r\nNb=0\r\n";
    WriteScript(text);
    LibraryList list;
    ReadLibraryList(script_.c_str(), "SelfRegisterP", &list);
    ASSERT_EQ(list.count, 150);
    EXPECT_STREQ(list.names[0], "lib1.dll");
    EXPECT_STREQ(list.names[149], "lib150.dll");
    ReadLibraryList(script_.c_str(), "SelfRegisterS", &list);
    EXPECT_EQ(list.count, 0);
    ReadLibraryList(script_.c_str(), "Absent", &list);
    EXPECT_EQ(list.count, 0);
}

TEST_F(ScriptFolder, UninstallDeletesOnlyTheNamedLongFiles) {
    const std::string key =
        "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\DeleteFiles\\SplashD";
    WriteScript("[DefaultUninstall]\r\nAddReg=LFNs\r\n[Strings]\r\nPROGDIR=" + folder_ +
                "\r\n[LFNs]\r\n" + key + ",,,\"%PROGDIR%\\\"\r\n" + key +
                ",LEGGIM~1.TXT,,\"Leggimi lungo.txt\"\r\n" + key +
                ",EVIL~1.TXT,,\"..\\evil.txt\"\r\n");
    const std::string named = folder_ + "\\Leggimi lungo.txt";
    const std::string other = folder_ + "\\Altro lungo.txt";
    Touch(named);
    Touch(other);
    LongNamesDelete(script_.c_str());
    EXPECT_FALSE(Exists(named));
    EXPECT_TRUE(Exists(other));
    DeleteFileA(other.c_str());
}

TEST_F(ScriptFolder, LinksOfTheGroupLinesAppearAndGoAgain) {
    WriteScript("[DefaultInstall]\r\nUpdateInis=Links\r\n[Strings]\r\nPROGDIR=" + folder_ +
                "\r\n[Links]\r\n"
                "setup.ini , progman.groups, ,\"group42=Velaset prova\"\r\n"
                "setup.ini , group42, , \"\"\"Prova\"\", \"\"%PROGDIR%\\Prova.exe\"\",,, "
                "Prova,\"%PROGDIR%\"\"\r\n"
                "setup.ini , progman.groups, ,\"group43=..\\Fuori\"\r\n"
                "setup.ini , group43, , \"\"\"Fuori\"\", \"\"%PROGDIR%\\Prova.exe\"\"\"\r\n");
    char programs[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE));
    const std::string group = std::string(programs) + "\\Velaset prova";
    CoInitialize(nullptr);
    ShellLinksApply(script_.c_str(), 1);
    CoUninitialize();
    EXPECT_TRUE(Exists(group + "\\Prova.lnk"));
    EXPECT_FALSE(Exists(std::string(programs) + "\\..\\Fuori"));
    ShellLinksApply(script_.c_str(), 0);
    EXPECT_FALSE(Exists(group + "\\Prova.lnk"));
    EXPECT_FALSE(Exists(group));
}

} // namespace

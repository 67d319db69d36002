// The uninstall's rights, and its start again as an administrator. Under Wine every
// process has full rights and "runas" does not ask: the system's question is not seen.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "elevation.h"

namespace {

const char kTestKey[] = "Software\\VelasetElevationTest";

std::string TempFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

int FilesIn(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    int count = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            count++;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

// A key under HKCU with the given security (SDDL), removed at the end.
class TestKey {
  public:
    explicit TestKey(const char* sddl) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        PSECURITY_DESCRIPTOR security;
        if (sddl && ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                         &security, nullptr)) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
            LocalFree(security);
        }
        RegCloseKey(key);
    }
    ~TestKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
};

// Everyone may do everything but set values and make sub-keys.
const char kWriteDenied[] = "D:(D;;0x6;;;WD)(A;;KA;;;WD)";

TEST(Rights, OnlyAWritableFolderAndKeyCanBeChangedAndTheCheckLeavesNothing) {
    std::string folder = TempFolder("avviora_rights");
    std::string file = folder + "\\not a folder.txt";
    std::ofstream(file) << "x";
    {
        TestKey key(nullptr);
        EXPECT_EQ(CanChange(folder.c_str(), HKEY_CURRENT_USER, kTestKey), 1);
        EXPECT_EQ(CanChange((folder + "\\missing").c_str(), HKEY_CURRENT_USER, kTestKey), 0);
        EXPECT_EQ(CanChange(file.c_str(), HKEY_CURRENT_USER, kTestKey), 0);
    }
    {
        TestKey key(kWriteDenied);
        EXPECT_EQ(CanChange(folder.c_str(), HKEY_CURRENT_USER, kTestKey), 0);
    }
    EXPECT_EQ(CanChange(folder.c_str(), HKEY_CURRENT_USER, "Software\\VelasetNoSuchKey"), 0);
    EXPECT_EQ(FilesIn(folder), 1);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// The probe library in a folder with blanks, as "C:\Program Files\..." would be.
TEST(Elevation, StartsTheEntryAgainWithItsArgumentsAndWaitsForIt) {
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string probe = own;
    probe = probe.substr(0, probe.rfind('\\') + 1) + "entry_probe.dll";
    std::string folder = TempFolder("avviora elevation");
    std::string library = folder + "\\entry probe.dll";
    ASSERT_TRUE(CopyFileA(probe.c_str(), library.c_str(), FALSE)) << probe;
    HMODULE loaded = LoadLibraryA(library.c_str());
    ASSERT_TRUE(loaded != nullptr);

    // The probe takes its file up to the first blank.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string out = std::string(temp) + "avviora_annotato.txt";
    DeleteFileA(out.c_str());
    std::string arguments = out + " /S C:\\PROGRA~1\\Mio Programma";
    ASSERT_EQ(RunElevated(nullptr, loaded, "Annota", arguments.c_str()), 1);
    // Written before RunElevated returned: it waited for the entry to end.
    std::ifstream written(out, std::ios::binary);
    std::stringstream text;
    text << written.rdbuf();
    EXPECT_EQ(text.str(), arguments);
    written.close();
    FreeLibrary(loaded);
    DeleteFileA(out.c_str());
    DeleteFileA(library.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace

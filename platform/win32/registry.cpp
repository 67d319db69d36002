// Win32: the registry values the builder reads and writes.
#include "platform/registry.h"

#include <windows.h>

#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Creates (or opens) a key under HKEY_CLASSES_ROOT and sets its default value to text
// plus the terminating zero byte.
bool SetClassesRootDefault(const std::string& key, const std::string& text) {
    std::string ansiKey, ansiText;
    if (!win32::ToAnsi(key, &ansiKey) || !win32::ToAnsi(text, &ansiText))
        return false;
    HKEY handle;
    REGSAM rights = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS |
                    KEY_NOTIFY | KEY_CREATE_LINK;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ansiKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        rights, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result =
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansiText.c_str()),
                       static_cast<DWORD>(ansiText.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

} // namespace

bool ReadProgramFilesDir(std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    LONG result = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::string text(buffer, size);
    size_t nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    *value = Windows1252ToUtf8(text);
    return true;
}

bool RegisterProjectFileType(const std::string& openCommand, const std::string& defaultIcon) {
    bool ok = SetClassesRootDefault(".mip", "Velaset.file");
    ok = SetClassesRootDefault("Velaset.file", "Velaset file") && ok;
    ok = SetClassesRootDefault("Velaset.file\\shell\\open\\command", openCommand) && ok;
    ok = SetClassesRootDefault("Velaset.file\\DefaultIcon", defaultIcon) && ok;
    return ok;
}

} // namespace platform

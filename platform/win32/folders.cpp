// Win32: the system's folders.
#include "platform/folders.h"

#include <windows.h>

#include "platform/trimmed.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

std::string NoTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

} // namespace

std::string ApplicationFolder() {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    std::string exe = win32::Narrow(std::wstring(buffer, n));
    size_t slash = exe.rfind('\\');
    return slash == std::string::npos ? exe : NoTrailingBackslash(exe.substr(0, slash + 1));
}

std::string TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::string temp =
        n == 0 || n > MAX_PATH ? std::string() : Trimmed(win32::Narrow(std::wstring(buffer, n)));
    if (temp.empty())
        return ApplicationFolder();
    return NoTrailingBackslash(temp);
}

const char* TempFolderVariable() {
    return "TMP";
}

std::string WindowsFolder() {
    wchar_t buffer[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return NoTrailingBackslash(Trimmed(win32::Narrow(std::wstring(buffer, n))));
}

std::string SystemFolder() {
    wchar_t buffer[MAX_PATH + 1];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    return NoTrailingBackslash(Trimmed(win32::Narrow(std::wstring(buffer, n)))) + "\\";
}

} // namespace platform

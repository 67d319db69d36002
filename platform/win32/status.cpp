// Win32: error numbers (GetLastError) and the system's descriptions in Italian.
#include "platform/status.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The system's text for code in language, trimmed; empty when it has none there.
std::string FormatSystemMessage(DWORD code, DWORD language) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, language, buffer, 512, nullptr);
    std::string text = win32::Narrow(std::wstring(buffer, n));
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

int LastSystemErrorCode() {
    return static_cast<int>(GetLastError());
}

ErrorKind KindOfSystemError(int code) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_SUCCESS:
        return ErrorKind::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
    case ERROR_MOD_NOT_FOUND:
        return ErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return ErrorKind::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorKind::DiskFull;
    default:
        return ErrorKind::Other;
    }
}

std::string SystemErrorText(int code) {
    // Italian where the system has it, otherwise the user's own language.
    std::string text =
        FormatSystemMessage(static_cast<DWORD>(code), MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN));
    if (text.empty())
        text = FormatSystemMessage(static_cast<DWORD>(code), 0);
    if (text.empty())
        text = "errore di sistema " + std::to_string(code);
    return text;
}

} // namespace platform

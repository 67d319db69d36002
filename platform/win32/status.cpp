// Win32: the system's text of the last error (GetLastError).
#include "platform/status.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

std::string LastSystemErrorText() {
    DWORD code = GetLastError();
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buffer, 512, nullptr);
    std::string text = win32::Narrow(std::wstring(buffer, n));
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "errore " + std::to_string(code);
    return text;
}

} // namespace platform

// Win32: text conversions for the system calls.
#include "platform/win32/wide_text.h"

#include <windows.h>

#include "platform/text_encoding.h"

namespace platform {
namespace win32 {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n,
                        nullptr, nullptr);
    return utf8;
}

bool ToAnsi(const std::string& utf8, std::string* ansi) {
    return Utf8ToWindows1252(utf8, ansi);
}

} // namespace win32
} // namespace platform

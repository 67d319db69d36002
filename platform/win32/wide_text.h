// Win32: UTF-8 <-> UTF-16 for the wide system calls, and UTF-8 -> ANSI (Windows-1252)
// for the ANSI calls that the system's file formats go through.
#ifndef VELASET_PLATFORM_WIN32_WIDE_TEXT_H
#define VELASET_PLATFORM_WIN32_WIDE_TEXT_H

#include <string>

namespace platform {
namespace win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// A path or text for an ...A call; false when Windows-1252 cannot hold it.
bool ToAnsi(const std::string& utf8, std::string* ansi);

} // namespace win32
} // namespace platform

#endif

// Win32: ShortPath through GetShortPathNameA.
#include "platform/short_path.h"

#include <windows.h>

#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace platform {

std::string ShortPath(const std::string& path) {
    std::string ansi;
    if (path.empty() || !win32::ToAnsi(path, &ansi))
        return std::string();
    char buffer[165];
    DWORD n = GetShortPathNameA(ansi.c_str(), buffer, 164);
    if (n == 0 || n >= 164)
        return std::string();
    return Windows1252ToUtf8(std::string(buffer, n));
}

} // namespace platform

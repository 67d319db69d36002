// Win32 implementation of platform/terminal.h: a console, not a pipe or a file.
#include "platform/terminal.h"

#include <windows.h>

namespace platform {

bool StandardErrorIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace platform

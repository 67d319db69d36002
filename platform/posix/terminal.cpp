// POSIX implementation of platform/terminal.h.
#include "platform/terminal.h"

#include <unistd.h>

namespace platform {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

} // namespace platform

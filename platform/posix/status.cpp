// POSIX: the system's text of the last error (errno).
#include "platform/status.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string LastSystemErrorText() {
    return std::strerror(errno);
}

} // namespace platform

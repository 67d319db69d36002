// POSIX: the arguments are already UTF-8.
#include "platform/command_line.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8StandardStreams() {}

} // namespace platform

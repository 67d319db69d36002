// The program's arguments as UTF-8 texts (on Windows from the wide command line, so
// that names outside the ANSI code page survive).
#ifndef VELASET_PLATFORM_COMMAND_LINE_H
#define VELASET_PLATFORM_COMMAND_LINE_H

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv);

} // namespace platform

#endif

// The program's arguments as UTF-8 texts (on Windows from the wide command line, so
// that names outside the ANSI code page survive).
#ifndef VELASET_PLATFORM_COMMAND_LINE_H
#define VELASET_PLATFORM_COMMAND_LINE_H

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error pass bytes unchanged (Windows would turn LF into CR LF),
// and a console shows them as UTF-8.
void UseUtf8StandardStreams();

} // namespace platform

#endif

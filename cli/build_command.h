// velaset build PROJECT.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]
#ifndef VELASET_CLI_BUILD_COMMAND_H
#define VELASET_CLI_BUILD_COMMAND_H

#include <string>
#include <vector>

// args: the arguments after "build". Answers 0 built, 1 failed, 2 bad usage.
int BuildCommand(const std::vector<std::string>& args);

#endif

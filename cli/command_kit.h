// What every subcommand of the velaset command shares: exit codes, output streams,
// reporting of failures and usage errors.
#ifndef VELASET_CLI_COMMAND_KIT_H
#define VELASET_CLI_COMMAND_KIT_H

#include <cstdio>
#include <string>

#include "platform/status.h"

namespace velaset {
namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // the operation failed
constexpr int kExitUsage = 2;  // bad usage or bad input

// Where commands print; tests swap in files of their own.
std::FILE* Out();
std::FILE* Err();
void SetOutputs(std::FILE* out, std::FILE* err);

// True when the arguments after the command name ask for its help.
bool WantsHelp(int argc, char** argv);

// Prints "velaset: " + message on the error stream and returns kExitFailed.
int Failed(const platform::Status& status);
int Failed(const std::string& message);

// Prints "velaset COMMAND: " + message and the usage line; returns kExitUsage.
int UsageError(const std::string& command, const std::string& message, const char* usage);

} // namespace cli
} // namespace velaset

#endif

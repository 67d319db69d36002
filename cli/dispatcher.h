// The velaset command: picks the subcommand named by the first argument.
#ifndef VELASET_CLI_DISPATCHER_H
#define VELASET_CLI_DISPATCHER_H

namespace velaset {
namespace cli {

// Runs the whole command line; returns the exit code (0 done, 1 failed, 2 bad usage).
int RunVelaset(int argc, char** argv);

} // namespace cli
} // namespace velaset

#endif

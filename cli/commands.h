// The subcommands of the velaset command. Each takes its own name as argv[0].
#ifndef VELASET_CLI_COMMANDS_H
#define VELASET_CLI_COMMANDS_H

namespace velaset {
namespace cli {

int RunNewCommand(int argc, char** argv);
int RunShowCommand(int argc, char** argv);
int RunSetCommand(int argc, char** argv);
int RunAddCommand(int argc, char** argv);
int RunRemoveCommand(int argc, char** argv);
int RunDestCommand(int argc, char** argv);
int RunLinkCommand(int argc, char** argv);
int RunRegCommand(int argc, char** argv);
int RunMsgCommand(int argc, char** argv);
int RunInfCommand(int argc, char** argv);
int RunBuildCommand(int argc, char** argv);
int RunWingetCommand(int argc, char** argv);

} // namespace cli
} // namespace velaset

#endif

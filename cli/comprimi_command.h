// velaset comprimi CABDIR BASE LIST [MAXSIZE]: builds a cabinet set with Comprimi.
#ifndef VELASET_CLI_COMPRIMI_COMMAND_H
#define VELASET_CLI_COMPRIMI_COMMAND_H

// argv holds the arguments after the command's name. The library's messages go to
// standard error; answers 0 when Comprimi answered 1, else 1 (2 for a usage error).
int RunComprimiCommand(int argc, char** argv);

#endif

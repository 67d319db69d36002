// velaset comprimi CARTELLA BASE ELENCO [DIMENSIONE]: builds a cabinet set with Comprimi.
#ifndef VELASET_CLI_COMPRIMI_COMMAND_H
#define VELASET_CLI_COMPRIMI_COMMAND_H

// argv holds the arguments after the command's name. The library's messages go to
// standard error; answers 0 when Comprimi answered 1, else 1 (2 for a usage error).
// --help (or -h) prints its help and answers 0.
int RunComprimiCommand(int argc, char** argv);

#endif

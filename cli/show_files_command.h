// "velaset show --files": the project's files with their short names and codes.
#ifndef VELASET_CLI_SHOW_FILES_COMMAND_H
#define VELASET_CLI_SHOW_FILES_COMMAND_H

#include "builder/project/project.h"

namespace velaset {
namespace cli {

// One line per file: short name (or "(mancante)"), destination entry, source path.
void PrintFileList(const Project& project);

// Removes "--files" from the arguments after the command name; true when it was there.
bool TakeFilesOption(int* argc, char** argv);

} // namespace cli
} // namespace velaset

#endif

// Loading and saving the project named on the command line, as the builder does.
#ifndef VELASET_CLI_PROJECT_ACCESS_H
#define VELASET_CLI_PROJECT_ACCESS_H

#include <string>

#include "builder/project/project.h"

namespace velaset {
namespace cli {

// Loads the project file at path (made absolute) into *project. Returns kExitOk, or
// the exit code after reporting: kExitFailed when the file cannot be read,
// kExitUsage when its content is refused.
int LoadNamedProject(const std::string& path, Project* project);

// Saves the edited project to its ProgFile; kExitOk, or kExitFailed after reporting.
int SaveEdited(const Project& project);

} // namespace cli
} // namespace velaset

#endif

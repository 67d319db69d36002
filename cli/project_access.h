// Loading and saving the project named on the command line, as the builder does, under
// the project's lock.
#ifndef VELASET_CLI_PROJECT_ACCESS_H
#define VELASET_CLI_PROJECT_ACCESS_H

#include <string>

#include "builder/project/project.h"
#include "builder/project/project_lock.h"

namespace velaset {
namespace cli {

// Takes *lock for the project file at path (made absolute), then loads it into
// *project. Returns kExitOk, or the exit code after reporting: kExitFailed when the
// project is in use or the file cannot be read, kExitUsage when its content is refused.
int LoadNamedProject(const std::string& path, Project* project, ProjectLock* lock);

// Saves the edited project to its ProgFile; kExitOk, or kExitFailed after reporting.
int SaveEdited(const Project& project);

} // namespace cli
} // namespace velaset

#endif

// Loading and saving the project named on the command line, as the builder does, under
// the project's lock.
#ifndef VELASET_CLI_PROJECT_ACCESS_H
#define VELASET_CLI_PROJECT_ACCESS_H

#include <string>

#include "builder/project/load_report.h"
#include "builder/project/project.h"
#include "builder/project/project_lock.h"

namespace velaset {
namespace cli {

// What a command does with the project it loads.
enum class LoadUse {
    Show, // only shows it: what the load left out is told and the command goes on
    Save, // saves it or builds from it: what the load left out stops the command
};

// Takes *lock for the project file at path (made absolute), then loads the file into
// *project and tells, on the error stream, what the load left out, found elsewhere or
// cannot use as stored. Returns kExitOk, or the exit code after reporting: kExitFailed
// when the project is in use, the file cannot be read or is no project, or
// (LoadUse::Save) when the load left entries out, so that no save removes them from the
// file; kExitUsage when its content is refused. ExeFile stays as stored even when its
// folder is gone: the command line builds only where it was told.
int LoadNamedProject(const std::string& path, Project* project, LoadUse use, ProjectLock* lock,
                     LoadReport* report = nullptr);

// Saves the edited project to its ProgFile; kExitOk, or the exit code after reporting:
// kExitUsage when the edit brings a fault that the loaded project did not have (a value
// that the project file cannot hold or that no package can carry: the table of fields,
// builder/project/project_fields.h), or for a package for one user with what it cannot
// install (CheckScope), with the file untouched; kExitFailed when the save fails.
int SaveEdited(const Project& loaded, const Project& edited);

} // namespace cli
} // namespace velaset

#endif

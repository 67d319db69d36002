// Loading and saving the project named on the command line, as the builder does, under
// the project's lock.
#ifndef VELASET_CLI_PROJECT_ACCESS_H
#define VELASET_CLI_PROJECT_ACCESS_H

#include <string>

#include "builder/project/project.h"
#include "platform/file_lock.h"

namespace velaset {
namespace cli {

// How long a command waits for another run on the same project to finish.
constexpr int kProjectLockWaitMilliseconds = 5000;

// The lock of one project file, "PROJECT.mip.lock" beside it, held by a command from
// before it reads the project until it has written all it writes: runs on one project
// take turns, and none reads a project that another is writing. Commands that only
// read take it shared.
class ProjectLock {
  public:
    explicit ProjectLock(platform::LockMode mode = platform::LockMode::Exclusive) : mode_(mode) {}

    // Takes the lock of projectFile: kExitOk, or kExitFailed after reporting that the
    // project is in use or its lock file cannot be made. A shared lock that cannot be
    // made (a read-only folder, where nobody can take it to write) is done without.
    int Take(const std::string& projectFile);

  private:
    platform::LockMode mode_;
    platform::FileLock lock_;
};

// Takes *lock for the project file at path (made absolute), then loads it into
// *project. Returns kExitOk, or the exit code after reporting: kExitFailed when the
// project is in use or the file cannot be read, kExitUsage when its content is refused.
int LoadNamedProject(const std::string& path, Project* project, ProjectLock* lock);

// Saves the edited project to its ProgFile; kExitOk, or kExitFailed after reporting.
int SaveEdited(const Project& project);

} // namespace cli
} // namespace velaset

#endif

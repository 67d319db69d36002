// The lock of a project file, "PROJECT.mip.lock" beside it. Whatever reads a project
// and writes it back (a command of the velaset command line, a build of the wizard)
// holds it from before the reading until the last write, so runs on one project take
// turns and none reads a project that another is writing. What only reads takes it
// shared. A run that finds the project held waits a while, then gives up.
#ifndef VELASET_BUILDER_PROJECT_PROJECT_LOCK_H
#define VELASET_BUILDER_PROJECT_PROJECT_LOCK_H

#include <string>

#include "platform/file_lock.h"
#include "platform/status.h"

namespace velaset {

// How long a run waits for another run on the same project to finish.
constexpr int kProjectLockWaitMilliseconds = 5000;

class ProjectLock {
  public:
    explicit ProjectLock(platform::LockMode mode = platform::LockMode::Exclusive) : mode_(mode) {}

    // Takes the lock of projectFile. The failure is told as the user reads it: the
    // project is in use (a sentence of its own), or the lock file cannot be made (told
    // as the project file that cannot be made). A shared lock that cannot be made (a
    // read-only folder, where nobody can take it to write either) is done without.
    platform::Status Take(const std::string& projectFile);

  private:
    platform::LockMode mode_;
    platform::FileLock lock_;
};

} // namespace velaset

#endif

// The lock file beside a project file.
#include "builder/project/project_lock.h"

#include "platform/file_access.h"

namespace velaset {

platform::Status ProjectLock::Take(const std::string& projectFile) {
    // One lock file for every spelling of the project's path (letter case, short names).
    const std::string lockFile = platform::ResolvePath(projectFile) + ".lock";
    platform::Status failure;
    switch (lock_.Acquire(lockFile, mode_, kProjectLockWaitMilliseconds, &failure)) {
    case platform::LockOutcome::Locked:
        return platform::Status::Ok();
    case platform::LockOutcome::Busy:
        return platform::Status::Failed("Il progetto " + projectFile +
                                            " è in uso da un'altra esecuzione di Velaset; "
                                            "riprovare quando avrà finito.",
                                        platform::ErrorKind::AccessDenied);
    case platform::LockOutcome::Failed:
        break;
    }
    if (mode_ == platform::LockMode::Shared)
        return platform::Status::Ok();
    // The lock file is a detail of ours: the user reads about the project.
    failure.subject = projectFile;
    return failure;
}

} // namespace velaset

// Loading and saving the project named on the command line, under its lock.
#include "cli/project_access.h"

#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {

int ProjectLock::Take(const std::string& projectFile) {
    // One lock file for every spelling of the project's path (letter case, short names).
    const std::string lockFile = platform::ResolvePath(projectFile) + ".lock";
    platform::Status failure;
    switch (lock_.Acquire(lockFile, mode_, kProjectLockWaitMilliseconds, &failure)) {
    case platform::LockOutcome::Locked:
        return kExitOk;
    case platform::LockOutcome::Busy:
        return Failed("Il progetto " + projectFile +
                      " è in uso da un'altra esecuzione di Velaset; riprovare quando avrà "
                      "finito.");
    case platform::LockOutcome::Failed:
        break;
    }
    if (mode_ == platform::LockMode::Shared)
        return kExitOk;
    // The lock file is a detail of ours: the user reads about the project.
    failure.subject = projectFile;
    return Failed(failure);
}

int LoadNamedProject(const std::string& path, Project* project, ProjectLock* lock) {
    project->ProgFile = platform::AbsoluteSourcePath(path);
    const int locked = lock->Take(project->ProgFile);
    if (locked != kExitOk)
        return locked;
    if (!platform::IsReadableFile(project->ProgFile))
        return Failed("Impossibile aprire il progetto " + project->ProgFile +
                      ": il file non esiste o non può essere letto.");
    platform::Status loaded = LoadProject(project, platform::ApplicationFolder());
    if (!loaded) {
        Failed(loaded);
        return kExitUsage;
    }
    return kExitOk;
}

int SaveEdited(const Project& project) {
    platform::Status saved = SaveProject(project);
    return saved ? kExitOk : Failed(saved);
}

} // namespace cli
} // namespace velaset

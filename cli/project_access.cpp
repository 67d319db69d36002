// Loading and saving the project named on the command line, under its lock.
#include "cli/project_access.h"

#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {

int LoadNamedProject(const std::string& path, Project* project, ProjectLock* lock) {
    project->ProgFile = platform::AbsoluteSourcePath(path);
    // Checked before the lock too, so that a mistyped name leaves no lock file behind.
    if (!platform::IsReadableFile(project->ProgFile))
        return Failed("Impossibile aprire il progetto " + project->ProgFile +
                      ": il file non esiste o non può essere letto.");
    const platform::Status locked = lock->Take(project->ProgFile);
    if (!locked)
        return Failed(locked);
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

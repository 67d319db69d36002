// Loading and saving the project named on the command line, under its lock.
#include "cli/project_access.h"

#include <cstdio>

#include "builder/project/package_keys.h"
#include "builder/project/project_fields.h"
#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/file_access.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {

int LoadNamedProject(const std::string& path, Project* project, LoadUse use, ProjectLock* lock,
                     LoadReport* report) {
    project->ProgFile = platform::AbsoluteSourcePath(path);
    // Checked before the lock too, so that a mistyped name leaves no lock file behind.
    if (!platform::IsReadableFile(project->ProgFile)) {
        if (platform::IsDirectory(project->ProgFile))
            return Failed("Impossibile aprire il progetto " + project->ProgFile +
                          ": è una cartella, non un file di progetto.");
        return Failed("Impossibile aprire il progetto " + project->ProgFile +
                      ": il file non esiste o non può essere letto.");
    }
    // A file that is no project gets no lock file beside it.
    const platform::Status isProject = CheckProjectFile(project->ProgFile);
    if (!isProject)
        return Failed(isProject);
    const platform::Status locked = lock->Take(project->ProgFile);
    if (!locked)
        return Failed(locked);
    LoadReport found;
    // No application folder: an ExeFile whose folder is gone stays as stored.
    platform::Status loaded = LoadProject(project, "", &found);
    if (!loaded) {
        Failed(loaded);
        return loaded.kind == platform::ErrorKind::Refused ? kExitFailed : kExitUsage;
    }
    if (report != nullptr)
        *report = found;
    if (found.Empty())
        return kExitOk;
    std::fprintf(Err(), "velaset: il progetto %s non è stato caricato come era salvato:\n",
                 project->ProgFile.c_str());
    for (const std::string& line : LoadReportLines(found))
        std::fprintf(Err(), "  %s\n", line.c_str());
    if (use == LoadUse::Save && found.LostEntries())
        return Failed("il progetto non è stato salvato e nulla è stato creato: salvarlo ora "
                      "toglierebbe dal file le voci elencate. Ripristinare i file, oppure "
                      "toglierle dal progetto con: velaset remove " +
                      project->ProgFile + " --missing");
    return kExitOk;
}

int SaveEdited(const Project& loaded, const Project& edited) {
    const platform::Status checked = CheckNewFaults(loaded, edited);
    if (!checked) {
        Failed(checked);
        return kExitUsage;
    }
    // A package for one user is never saved with what it could not install.
    platform::Status scope = CheckScope(edited);
    if (!scope) {
        Failed(scope);
        return kExitUsage;
    }
    platform::Status saved = SaveProject(edited);
    return saved ? kExitOk : Failed(saved);
}

} // namespace cli
} // namespace velaset

// velaset new PROJECT.mip [--title TEXT] [--force]: a new project saved at PROJECT.mip.
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/project/project.h"
#include "builder/project/project_fields.h"
#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "platform/file_access.h"
#include "platform/source_path.h"
#include "platform/whole_file.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset new PROGETTO.mip [--title TESTO] [--force]";

const char kHelp[] =
    "Crea un nuovo progetto con i valori di un nuovo progetto del builder e lo salva in\n"
    "PROGETTO.mip. Il file eseguibile e il progetto stanno nella cartella di PROGETTO.mip.\n\n"
    "  --title TESTO  sostituisce \"Nuovo Progetto\" con TESTO nel titolo e nei testi e\n"
    "                 percorsi che lo contengono, come quando si scrive il titolo\n"
    "  --force        sovrascrive un file esistente (altrimenti viene lasciato com'è)\n";

} // namespace

int RunNewCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    std::string path, title;
    bool hasTitle = false, force = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0) {
            force = true;
        } else if (std::strcmp(argv[i], "--title") == 0) {
            if (i + 1 >= argc)
                return UsageError("new", "--title vuole un testo", kUsage);
            title = argv[++i];
            hasTitle = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return UsageError("new", std::string("opzione sconosciuta: ") + argv[i], kUsage);
        } else if (path.empty()) {
            path = argv[i];
        } else {
            return UsageError("new", std::string("argomento in più: ") + argv[i], kUsage);
        }
    }
    if (path.empty())
        return UsageError("new", "manca il file di progetto", kUsage);
    if (hasTitle && title.empty())
        return UsageError("new", "il titolo non può essere vuoto", kUsage);
    const std::string projectFile = platform::AbsoluteSourcePath(path);
    Project project;
    std::string folder =
        platform::WithoutTrailingSeparator(platform::SourceFolderPart(projectFile));
    project.ResetToNewProject(folder, DefCartellaFromSystem());
    if (hasTitle)
        project.SetTitleAsTyped(title);
    project.ProgFile = projectFile;
    // A title that no package could carry is refused before anything is made.
    const platform::Status checked = CheckProjectFields(project, true);
    if (!checked)
        return UsageError("new", checked.message, kUsage);

    // A file that is there already gets no lock file beside it, unless it is replaced.
    const std::string exists =
        projectFile + " esiste già e non è stato modificato (--force per sovrascriverlo).";
    if (platform::PathExists(projectFile) && !force)
        return Failed(exists);
    ProjectLock lock;
    const platform::Status locked = lock.Take(projectFile);
    if (!locked)
        return Failed(locked);
    if (platform::PathExists(projectFile) && !force)
        return Failed(exists);

    // The new file takes the place of an old one in one step: a failure leaves the old
    // one as it was.
    std::string bytes;
    platform::Status made = ProjectFileText(project, &bytes);
    if (made)
        made = platform::ReplaceWholeFile(projectFile, bytes);
    return made ? kExitOk : Failed(made);
}

} // namespace cli
} // namespace velaset

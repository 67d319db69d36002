// velaset remove PROJECT.mip FILE... [--missing]: the "&Elimina" of the files page for
// the rows of the files named; --missing drops what the load could not take.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset remove PROGETTO.mip FILE... | velaset remove PROGETTO.mip --missing";

const char kHelp[] =
    "Toglie i FILE dall'elenco dei file del progetto, percorso e destinazione insieme,\n"
    "come \"&Elimina\" per le righe selezionate. Un FILE che non è nell'elenco è un errore\n"
    "e non cambia nulla. Un collegamento al file è tolto con lui, se nessun altro file\n"
    "dell'elenco ha lo stesso nome.\n\n"
    "  --missing  toglie dal progetto le voci che il caricamento non può prendere (file che\n"
    "             non esistono o non si possono leggere, nomi corti già usati, collegamenti\n"
    "             senza il loro file), dopo averle elencate; senza --missing un progetto\n"
    "             con voci simili non viene salvato.\n";

// The links whose file name no listed file carries any more go, each told on a line.
void RemoveOrphanedLinks(Project& project) {
    for (int i = static_cast<int>(project.Links().size()) - 1; i >= 0; --i) {
        const LinkEntry& link = project.Links()[static_cast<size_t>(i)];
        bool carried = false;
        for (const FileEntry& file : project.Files())
            carried = carried || platform::SourceFileName(file.path) == link.file;
        if (!carried) {
            std::fprintf(Err(), "velaset remove: tolto anche il collegamento \"%s\" a %s\n",
                         link.name.c_str(), link.file.c_str());
            project.RemoveLinkAt(i);
        }
    }
}

} // namespace

int RunRemoveCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    bool missing = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--missing") == 0)
            missing = true;
        else
            args.push_back(argv[i]);
    }
    if (args.empty() || (args.size() < 2 && !missing)) {
        return UsageError("remove", args.empty() ? "manca il file di progetto" : "manca almeno un FILE",
                          kUsage);
    }
    Project project;
    ProjectLock lock;
    // The load has already left out what --missing drops: the save below removes it.
    const int opened =
        LoadNamedProject(args[0], &project, missing ? LoadUse::Show : LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    std::vector<int> rows;
    for (size_t i = 1; i < args.size(); ++i) {
        const int row = FindFileRow(project, args[i]);
        if (row < 0) {
            return UsageError("remove", "il file non è nell'elenco: " + args[i], kUsage);
        }
        rows.push_back(row);
    }
    // From the last row up, so that the indexes still to remove stay valid.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        project.RemoveFileAt(*row);
    }
    RemoveOrphanedLinks(project);
    return SaveEdited(loaded, project);
}

} // namespace cli
} // namespace velaset

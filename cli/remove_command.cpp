// velaset remove PROJECT.mip FILE...: the "&Elimina" of the files page for the rows of
// the files named.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset remove PROGETTO.mip FILE...";

const char kHelp[] =
    "Toglie i FILE dall'elenco dei file del progetto, percorso e destinazione insieme,\n"
    "come \"&Elimina\" per le righe selezionate. Un FILE che non è nell'elenco è un errore\n"
    "e non cambia nulla. I collegamenti al file restano e il caricamento li scarta.\n";

} // namespace

int RunRemoveCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    if (argc < 3) {
        return UsageError("remove", argc < 2 ? "manca il file di progetto" : "manca almeno un FILE",
                          kUsage);
    }
    Project project;
    ProjectLock lock;
    const int loaded = LoadNamedProject(argv[1], &project, &lock);
    if (loaded != kExitOk) {
        return loaded;
    }
    std::vector<int> rows;
    for (int i = 2; i < argc; ++i) {
        const int row = FindFileRow(project, argv[i]);
        if (row < 0) {
            return UsageError("remove", std::string("il file non è nell'elenco: ") + argv[i],
                              kUsage);
        }
        rows.push_back(row);
    }
    // From the last row up, so that the indexes still to remove stay valid.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        project.RemoveFileAt(*row);
    }
    return SaveEdited(project);
}

} // namespace cli
} // namespace velaset

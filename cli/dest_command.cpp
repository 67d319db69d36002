// velaset dest PROJECT.mip FILE CODE: the destination dialog for one file.
#include <cstdio>
#include <string>

#include "builder/dialogs/dest_dialog.h"
#include "builder/script/destination_code.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset dest PROGETTO.mip FILE CODICE";

const char kHelp[] =
    "Imposta la destinazione di un file del progetto come la finestra \"Velaset -\n"
    "Destinazione file\". CODICE è D (directory di installazione), W (Windows), S (System),\n"
    "H (Help) o I (Inf), seguito da * per registrare una DLL o un OCX all'installazione e\n"
    "deregistrarlo alla disinstallazione (solo con D o S).\n";

} // namespace

int RunDestCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    if (argc != 4) {
        return UsageError("dest", argc < 4 ? "mancano argomenti" : "troppi argomenti", kUsage);
    }
    const std::string code = argv[3];
    const bool mark = code.size() == 2 && code[1] == SelfRegisterMark;
    if ((code.size() != 1 && !mark) || FindDestination(code[0]) == nullptr) {
        return UsageError(
            "dest", "codice sconosciuto: " + code + " (D, W, S, H o I, con * facoltativo)", kUsage);
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(argv[1], &project, LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    const int row = FindFileRow(project, argv[2]);
    if (row < 0) {
        return UsageError("dest", std::string("il file non è nell'elenco: ") + argv[2], kUsage);
    }
    DestDialog dialog(project, row);
    const auto& codes = DestinationCodes();
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i].code == code[0]) {
            dialog.Select(static_cast<int>(i));
        }
    }
    if (mark && !(dialog.CheckVisible() && dialog.CheckEnabled())) {
        return UsageError(
            "dest", "la registrazione vale solo per file DLL o OCX con destinazione D o S", kUsage);
    }
    dialog.SetTicked(mark);
    dialog.Ok();
    return SaveEdited(loaded, project);
}

} // namespace cli
} // namespace velaset

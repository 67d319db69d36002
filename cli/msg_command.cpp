// velaset msg PROJECT.mip Errore|Stop|Browse|Disinstalla TEXT: the installer messages
// dialog for one message.
#include <cstdio>
#include <string>

#include "builder/dialogs/message_dialog.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset msg PROGETTO.mip Errore|Stop|Browse|Disinstalla TESTO";

const char kHelp[] =
    "Cambia uno dei quattro messaggi dell'installazione come la finestra \"Messaggi\n"
    "generali del programma\": Errore (installazione fallita), Stop (interrotta), Browse\n"
    "(etichetta della scelta della cartella), Disinstalla (domanda prima della\n"
    "disinstallazione, non modificabile in un pacchetto di sola distribuzione).\n";

} // namespace

int RunMsgCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    if (argc != 4) {
        return UsageError("msg", argc < 4 ? "mancano argomenti" : "troppi argomenti", kUsage);
    }
    MessageDialog::Box box;
    if (!MessageDialog::BoxNamed(argv[2], &box)) {
        return UsageError("msg", std::string("messaggio sconosciuto: ") + argv[2], kUsage);
    }
    const std::string text = argv[3];
    // The dialog keeps a message whose box is left empty; here that is surely a mistake.
    if (text.empty()) {
        return UsageError("msg", "il testo non può essere vuoto", kUsage);
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(argv[1], &project, LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    MessageDialog dialog(project);
    if (!dialog.Enabled(box)) {
        return UsageError("msg", "Disinstalla non è modificabile finché Distribuzione vale 1",
                          kUsage);
    }
    dialog.SetText(box, text);
    dialog.Ok();
    return SaveEdited(loaded, project);
}

} // namespace cli
} // namespace velaset

// velaset link PROJECT.mip add FILE NAME P|D, velaset link PROJECT.mip remove NAME [P|D]:
// the link dialog and "Elimina Link..." of the links page.
#include <cstdio>
#include <string>

#include "builder/dialogs/link_dialog.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset link PROGETTO.mip add FILE NOME P|D\n"
                      "     velaset link PROGETTO.mip remove NOME [P|D]";

const char kHelp[] =
    "add crea un collegamento a un file del progetto con destinazione D, nel gruppo di\n"
    "programmi (P) o sul desktop (D), come la finestra \"Velaset - Nuovo link\"; un\n"
    "collegamento identico a uno esistente non viene aggiunto di nuovo.\n"
    "remove toglie i collegamenti con quel NOME (solo quelli di quella collocazione, se\n"
    "data).\n";

int Add(const Project& loaded, Project& project, const std::string& file, const std::string& name,
        const std::string& location) {
    if (location != "P" && location != "D") {
        return UsageError("link", "collocazione sconosciuta: " + location + " (P o D)", kUsage);
    }
    if (!project.States().linksEnabled) {
        return UsageError("link", "i collegamenti sono disabilitati finché Gruppo vale 0", kUsage);
    }
    LinkDialog dialog = LinkDialog::ForNew(project);
    const std::string fileName = platform::SourceFileName(file);
    const auto& choices = dialog.FileChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == fileName) {
            dialog.ChooseFile(static_cast<int>(i));
            break;
        }
    }
    if (dialog.SelectedFile() < 0 && !choices.empty()) {
        return UsageError(
            "link", "il file non è tra i file del progetto con destinazione D: " + file, kUsage);
    }
    dialog.SetName(name);
    dialog.ChooseDestination(location == "D" ? 1 : 0);
    const DialogResult result = dialog.Save();
    if (!result.closed) {
        return UsageError("link", result.message, kUsage);
    }
    return SaveEdited(loaded, project);
}

int Remove(const Project& loaded, Project& project, const std::string& name,
           const std::string& location) {
    bool removed = false;
    for (int row = static_cast<int>(project.Links().size()) - 1; row >= 0; --row) {
        const LinkEntry& link = project.Links()[row];
        if (link.name == name && (location.empty() || link.location == location)) {
            project.RemoveLinkAt(row);
            removed = true;
        }
    }
    if (!removed) {
        return UsageError("link", "nessun collegamento si chiama " + name, kUsage);
    }
    return SaveEdited(loaded, project);
}

} // namespace

int RunLinkCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    const std::string verb = argc > 2 ? argv[2] : "";
    const bool add = verb == "add" && argc == 6;
    const bool remove = verb == "remove" && (argc == 4 || argc == 5);
    if (!add && !remove) {
        return UsageError("link", "argomenti non validi", kUsage);
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(argv[1], &project, LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    if (add) {
        return Add(loaded, project, argv[3], argv[4], argv[5]);
    }
    return Remove(loaded, project, argv[3], argc == 5 ? argv[4] : "");
}

} // namespace cli
} // namespace velaset

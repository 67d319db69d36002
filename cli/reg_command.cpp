// velaset reg PROJECT.mip add ROOT KEY NAME VALUE, velaset reg PROJECT.mip remove INDEX:
// the registry-entry dialog and "Elimina voce".
#include <cstdio>
#include <string>

#include "builder/dialogs/keyreg_dialog.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset reg PROGETTO.mip add RADICE CHIAVE NOME VALORE\n"
                      "     velaset reg PROGETTO.mip remove INDICE";

const char kHelp[] =
    "add aggiunge una voce di registro come la finestra \"Velaset - Aggiungi voce nel\n"
    "registro di configurazione\": RADICE è HKCR, HKCU, HKLM o HCU (o il nome intero,\n"
    "HKEY_CLASSES_ROOT ... HKEY_USERS), NOME vuoto (\"\") indica il valore predefinito\n"
    "della chiave, VALORE può contenere %PROGDIR%.\n"
    "remove toglie la voce numero INDICE (da 1, come nel file di progetto).\n";

// The dialog's index of a root given by token or by full name; -1 when unknown.
int RootIndex(const std::string& root) {
    const auto tokens = KeyregDialog::RootTokens();
    const auto texts = KeyregDialog::RootTexts();
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (root == tokens[i] || root == texts[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Add(const Project& loaded, Project& project, char** argv) {
    const int root = RootIndex(argv[0]);
    if (root < 0) {
        return UsageError("reg", std::string("radice sconosciuta: ") + argv[0], kUsage);
    }
    KeyregDialog dialog = KeyregDialog::ForNew(project);
    dialog.ChooseRoot(root);
    dialog.SetSubkey(argv[1]);
    if (argv[2][0] != '\0') {
        dialog.ChooseCustomName();
        dialog.SetName(argv[2]);
    }
    dialog.SetValue(argv[3]);
    const KeyregDialog::Result result = dialog.Ok();
    if (!result.closed) {
        return UsageError("reg", result.message, kUsage);
    }
    return SaveEdited(loaded, project);
}

int Remove(const Project& loaded, Project& project, const std::string& index) {
    const size_t count = project.RegistryEntries().size();
    size_t number = 0;
    bool digits = !index.empty() && index.size() <= 5;
    for (char c : index) {
        digits = digits && c >= '0' && c <= '9';
        number = number * 10 + static_cast<size_t>(c - '0');
    }
    if (!digits || number < 1 || number > count) {
        return UsageError(
            "reg", "indice non valido: " + index + " (le voci sono " + std::to_string(count) + ")",
            kUsage);
    }
    project.RemoveRegistryEntryAt(static_cast<int>(number - 1));
    return SaveEdited(loaded, project);
}

} // namespace

int RunRegCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    const std::string verb = argc > 2 ? argv[2] : "";
    const bool add = verb == "add" && argc == 7;
    const bool remove = verb == "remove" && argc == 4;
    if (!add && !remove) {
        return UsageError("reg", "argomenti non validi", kUsage);
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(argv[1], &project, LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    return add ? Add(loaded, project, argv + 3) : Remove(loaded, project, argv[3]);
}

} // namespace cli
} // namespace velaset

// velaset add PROJECT.mip FILE... [--dest D|W|S|H|I] [--register]: each file goes
// through VerificaLista as the wizard's add button sends it, then gets the code the
// destination dialog would give it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builder/dialogs/dest_dialog.h"
#include "builder/script/destination_code.h"
#include "builder/script/short_name_check.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"
#include "platform/file_access.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset add PROGETTO.mip FILE... [--dest D|W|S|H|I] [--register]";

const char kHelp[] =
    "Aggiunge i FILE all'elenco dei file del progetto, nell'ordine dato, come il pulsante\n"
    "\"&Aggiungi\": un file già presente è ignorato, un file il cui nome corto (8.3) è già\n"
    "di un altro file dell'elenco è rifiutato con il messaggio del builder, gli altri\n"
    "ricevono la destinazione predefinita della loro cartella (W, S, H, I per le cartelle\n"
    "di Windows, di sistema, Help e Inf, altrimenti D). --dest imposta poi la destinazione,\n"
    "--register la registrazione di DLL e OCX (solo con destinazione D o S), come la\n"
    "finestra della destinazione. Esce con 1 se un file è stato rifiutato.\n";

struct Options {
    std::string project;
    std::vector<std::string> files;
    char dest = '\0'; // '\0': keep the default code
    bool registerLibrary = false;
};

// "" when the arguments are usable, else what is wrong with them.
std::string Parse(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dest") {
            if (i + 1 >= argc) {
                return "manca la destinazione dopo --dest";
            }
            const std::string code = argv[++i];
            if (code.size() != 1 || FindDestination(code[0]) == nullptr) {
                return "destinazione sconosciuta: " + code + " (D, W, S, H o I)";
            }
            options->dest = code[0];
        } else if (arg == "--register") {
            options->registerLibrary = true;
        } else if (options->project.empty()) {
            options->project = arg;
        } else {
            options->files.push_back(platform::AbsoluteSourcePath(arg));
        }
    }
    if (options->project.empty()) {
        return "manca il file di progetto";
    }
    if (options->files.empty()) {
        return "manca almeno un FILE";
    }
    return "";
}

std::string FolderOf(const std::string& path) {
    return platform::WithoutTrailingSeparator(platform::SourceFolderPart(path));
}

// The code a file ends with: the one asked for, else its folder's default.
char FinalCode(const Options& options, const std::string& path, const DefaultFolders& folders) {
    return options.dest != '\0' ? options.dest : DefaultDestination(FolderOf(path), folders);
}

// Every file exists, and --register fits every file: checked before anything changes.
std::string CheckFiles(const Options& options, const DefaultFolders& folders) {
    for (const std::string& path : options.files) {
        if (!platform::IsReadableFile(path)) {
            return "il file non esiste o non può essere letto: " + path;
        }
        if (options.registerLibrary) {
            if (!IsSelfRegisterFile(path)) {
                return "--register vale solo per file DLL o OCX: " + path;
            }
            if (!CodeAllowsSelfRegister(FinalCode(options, path, folders))) {
                return "--register vale solo con destinazione D o S: " + path;
            }
        }
    }
    return "";
}

// The destination dialog's OK for the row just added.
void ApplyDestination(Project& project, int row, const Options& options) {
    if (options.dest == '\0' && !options.registerLibrary) {
        return;
    }
    DestDialog dialog(project, row);
    if (options.dest != '\0') {
        const auto& codes = DestinationCodes();
        for (size_t i = 0; i < codes.size(); ++i) {
            if (codes[i].code == options.dest) {
                dialog.Select(static_cast<int>(i));
            }
        }
    }
    dialog.SetTicked(options.registerLibrary);
    dialog.Ok();
}

} // namespace

int RunAddCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    Options options;
    std::string wrong = Parse(argc, argv, &options);
    const DefaultFolders folders = SystemDefaultFolders();
    if (wrong.empty()) {
        wrong = CheckFiles(options, folders);
    }
    if (!wrong.empty()) {
        return UsageError("add", wrong, kUsage);
    }
    Project project;
    const int loaded = LoadNamedProject(options.project, &project, LoadUse::Save);
    if (loaded != kExitOk) {
        return loaded;
    }
    int exitCode = kExitOk;
    VerificaLista check(project, folders);
    for (const std::string& path : options.files) {
        const AddResult result = check.Add(path, FolderOf(path));
        if (result.outcome == AddOutcome::Added) {
            ApplyDestination(project, static_cast<int>(project.Files().size()) - 1, options);
        } else if (result.outcome != AddOutcome::Duplicate) {
            std::fprintf(Err(), "%s\n", WithLineFeeds(result.message).c_str());
            exitCode = kExitFailed;
        }
    }
    const int saved = SaveEdited(project);
    return saved != kExitOk ? saved : exitCode;
}

} // namespace cli
} // namespace velaset

// velaset add PROJECT.mip FILE... [--recursive] [--dest D|W|S|H|I] [--register]: each
// file goes through VerificaLista as the wizard's add button sends it, then gets the code
// the destination dialog would give it; a folder with --recursive gives all its files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builder/dialogs/dest_dialog.h"
#include "builder/script/destination_code.h"
#include "builder/script/verifica_lista.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"
#include "platform/file_access.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] =
    "velaset add PROGETTO.mip FILE... [--recursive] [--dest D|W|S|H|I] [--register]";

const char kHelp[] =
    "Aggiunge i FILE all'elenco dei file del progetto, nell'ordine dato, come il pulsante\n"
    "\"&Aggiungi\": un file già presente è ignorato, un file il cui nome corto (8.3) è già\n"
    "di un altro file dell'elenco è rifiutato con il messaggio del builder, gli altri\n"
    "ricevono la destinazione predefinita della loro cartella (W, S, H, I per le cartelle\n"
    "di Windows, di sistema, Help e Inf, altrimenti D). --dest imposta poi la destinazione,\n"
    "--register la registrazione di DLL e OCX (solo con destinazione D o S), come la\n"
    "finestra della destinazione. Una cartella si aggiunge solo con --recursive, che ne\n"
    "aggiunge tutti i file, anche delle sottocartelle, in ordine di nome, ciascuno con la\n"
    "destinazione predefinita della sua cartella. Un file che nessun pacchetto potrebbe\n"
    "installare (un nome che Windows non ammette, più di un segno %, un percorso corto\n"
    "troppo lungo, un nome che differisce da un altro della stessa destinazione solo per\n"
    "maiuscole e minuscole) fa uscire con 2 senza cambiare il progetto; un file che non si\n"
    "può leggere, con 1; un file rifiutato per il nome corto, con 1 dopo aver aggiunto gli\n"
    "altri.\n";

struct Options {
    std::string project;
    std::vector<std::string> files;
    char dest = '\0'; // '\0': keep the default code
    bool registerLibrary = false;
    bool recursive = false;
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
        } else if (arg == "--recursive") {
            options->recursive = true;
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

// The files of folder and of its sub-folders, in name order, folder by folder; links to
// folders are not followed, so that no folder is walked twice.
platform::Status FilesBelow(const std::string& folder, std::vector<std::string>* files) {
    std::vector<std::string> names;
    platform::Status listed = platform::ListFolder(folder, &names);
    if (!listed)
        return listed;
    for (const std::string& name : names) {
        const std::string path = platform::JoinSourcePath(folder, name);
        if (platform::IsLinkToFolder(path))
            continue;
        if (platform::IsDirectory(path)) {
            platform::Status below = FilesBelow(path, files);
            if (!below)
                return below;
        } else {
            files->push_back(path);
        }
    }
    return platform::Status::Ok();
}

// The files named, each folder replaced by its files (--recursive), then checked: every
// file can be read (else kExitFailed: the operation fails) and --register fits every
// file (else kExitUsage). kExitOk when all is well; nothing has changed yet.
int ExpandAndCheckFiles(Options* options, const DefaultFolders& folders) {
    std::vector<std::string> files;
    for (const std::string& path : options->files) {
        if (!platform::IsDirectory(path)) {
            files.push_back(path);
            continue;
        }
        if (!options->recursive)
            return Failed(path + " è una cartella: --recursive aggiunge tutti i file che contiene");
        const size_t before = files.size();
        platform::Status listed = FilesBelow(path, &files);
        if (!listed)
            return Failed(listed);
        if (files.size() == before)
            return Failed("la cartella " + path + " non contiene file");
    }
    options->files = files;
    for (const std::string& path : options->files) {
        if (!platform::IsReadableFile(path)) {
            if (!platform::PathExists(path))
                return Failed("il file non esiste: " + path);
            std::FILE* f = platform::OpenFile(path, "rb");
            if (f != nullptr)
                std::fclose(f);
            return Failed(platform::Status::LastSystemError(platform::Operation::Read, path));
        }
        if (options->registerLibrary) {
            if (!IsSelfRegisterFile(path)) {
                return UsageError("add", "--register vale solo per file DLL o OCX: " + path, kUsage);
            }
            if (!CodeAllowsSelfRegister(FinalCode(*options, path, folders))) {
                return UsageError("add", "--register vale solo con destinazione D o S: " + path,
                                  kUsage);
            }
        }
    }
    return kExitOk;
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
    const std::string wrong = Parse(argc, argv, &options);
    if (!wrong.empty()) {
        return UsageError("add", wrong, kUsage);
    }
    const DefaultFolders folders = SystemDefaultFolders();
    const int checked = ExpandAndCheckFiles(&options, folders);
    if (checked != kExitOk) {
        return checked;
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(options.project, &project, LoadUse::Save, &lock);
    if (opened != kExitOk) {
        return opened;
    }
    const Project loaded = project;
    int exitCode = kExitOk;
    VerificaLista check(project, folders);
    for (const std::string& path : options.files) {
        const AddResult result = check.Add(path, FolderOf(path));
        if (result.outcome == AddOutcome::Added) {
            ApplyDestination(project, static_cast<int>(project.Files().size()) - 1, options);
        } else if (result.outcome == AddOutcome::Refused) {
            // A file that cannot be stored: nothing of this add is.
            std::fprintf(Err(), "velaset: %s\n", result.message.c_str());
            return kExitUsage;
        } else if (result.outcome == AddOutcome::Clash) {
            std::fprintf(Err(), "%s\n", WithLineFeeds(result.message).c_str());
            exitCode = kExitFailed;
        }
    }
    const int saved = SaveEdited(loaded, project);
    return saved != kExitOk ? saved : exitCode;
}

} // namespace cli
} // namespace velaset

// velaset winget PROJECT.mip --package SETUP.exe --url URL [-o DIR]: the three winget
// manifests of a setup executable built from the project.
#include <cstdio>
#include <string>
#include <vector>

#include "builder/package/pe_machine.h"
#include "builder/package/winget_manifests.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/file_digest.h"
#include "platform/source_path.h"
#include "platform/whole_file.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset winget PROGETTO.mip --package SETUP.exe --url INDIRIZZO "
                      "[-o CARTELLA] [--license TESTO] [--description TESTO]";

const char kHelp[] =
    "Scrive i tre manifest con cui winget (Gestione pacchetti di Windows) installa\n"
    "SETUP.exe, creato da PROGETTO.mip con velaset build: versione, installer e\n"
    "descrizione in italiano (it-IT), nella CARTELLA data o in quella corrente, con il\n"
    "nome dell'identificatore EDITORE.TITOLO. Il progetto deve avere Versione ed Editore.\n"
    "L'installer porta lo SHA-256 di SETUP.exe, che si pubblica all'INDIRIZZO dato\n"
    "(http:// o https://) senza più cambiarlo; l'architettura e l'ambito (macchina o\n"
    "utente) sono quelli del pacchetto.\n\n"
    "  --license TESTO      la licenza (altrimenti Proprietary)\n"
    "  --description TESTO  la descrizione breve (altrimenti la prima riga di Etic2A)\n";

// The scope that the package's stub asks Windows for, from its manifest's level.
bool PackageScope(const std::string& package, Scope* scope) {
    std::FILE* file = platform::OpenFile(package, "rb");
    if (file == nullptr)
        return false;
    std::string head(STUB64_IMAGE_SIZE, '\0');
    head.resize(std::fread(&head[0], 1, head.size(), file));
    std::fclose(file);
    const bool user = head.find("level=\"asInvoker\"") != std::string::npos;
    if (!user && head.find("level=\"requireAdministrator\"") == std::string::npos)
        return false;
    *scope = user ? Scope::User : Scope::Machine;
    return true;
}

} // namespace

int RunWingetCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    std::string projectPath, package, folder = ".";
    WingetInstaller installer;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "--package"       ? &package
                             : arg == "--url"         ? &installer.url
                             : arg == "-o"            ? &folder
                             : arg == "--license"     ? &installer.license
                             : arg == "--description" ? &installer.description
                                                      : nullptr;
        if (value != nullptr) {
            if (i + 1 >= argc)
                return UsageError("winget", "manca il valore dopo " + arg, kUsage);
            *value = argv[++i];
        } else if (projectPath.empty() && arg[0] != '-') {
            projectPath = arg;
        } else {
            return UsageError("winget", "argomento sconosciuto: " + arg, kUsage);
        }
    }
    if (projectPath.empty() || package.empty() || installer.url.empty())
        return UsageError("winget",
                          projectPath.empty() ? "manca il file di progetto"
                          : package.empty()   ? "manca --package SETUP.exe"
                                              : "manca --url INDIRIZZO",
                          kUsage);
    Project project;
    ProjectLock lock(platform::LockMode::Shared);
    const int loaded = LoadNamedProject(projectPath, &project, LoadUse::Show, &lock);
    if (loaded != kExitOk)
        return loaded;

    PeMachine machine = PeMachine::NotAnImage;
    platform::Status read = ReadPeMachine(package, &machine);
    if (!read)
        return Failed(read);
    Scope scope = Scope::Machine;
    if ((machine != PeMachine::I386 && machine != PeMachine::Amd64) ||
        !PackageScope(package, &scope))
        return Failed(package + " non è un pacchetto di installazione creato da Velaset.");
    if (scope != project.Ambito)
        return Failed(std::string("Il pacchetto ") + package + " si installa " +
                      (scope == Scope::User ? "per l'utente" : "per la macchina") +
                      ", ma il progetto ha Ambito=" +
                      (project.Ambito == Scope::User ? "utente" : "macchina") +
                      ": ricreare il pacchetto con velaset build.");
    installer.architecture = machine == PeMachine::Amd64 ? Architecture::X64 : Architecture::X86;
    platform::Status digest = platform::FileSha256(package, &installer.sha256);
    if (!digest)
        return Failed(digest);

    std::vector<WingetManifest> manifests;
    platform::Status made = WingetManifests(project, installer, &manifests);
    if (!made) {
        Failed(made);
        return kExitUsage;
    }
    if (!platform::IsDirectory(folder)) {
        platform::Status created = platform::MakeDirectory(folder);
        if (!created)
            return Failed(created);
    }
    for (const WingetManifest& manifest : manifests) {
        const std::string path = platform::JoinSourcePath(folder, manifest.fileName);
        platform::Status written = platform::ReplaceWholeFile(path, manifest.text);
        if (!written)
            return Failed(written);
        std::fprintf(Out(), "%s\n", path.c_str());
    }
    return kExitOk;
}

} // namespace cli
} // namespace velaset

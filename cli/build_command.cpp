// velaset build PROJECT.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]: turns a
// project into its setup executable (or only its setup script), as the last page of
// the wizard does.
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/build/build_pipeline.h"
#include "builder/build/comprimi_binding.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "platform/source_path.h"
#include "platform/terminal.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset build PROGETTO.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]";

const char kHelp[] =
    "Crea l'eseguibile autoestraente del progetto (il suo ExeFile, o SETUP.exe con -o):\n"
    "lo script setup.inf, il file CAB con i file del progetto e il programma di\n"
    "installazione davanti. Salva il progetto prima di creare il file CAB.\n\n"
    "  -o SETUP.exe  scrive l'eseguibile qui invece che in ExeFile (il progetto non cambia)\n"
    "  --edit        apre lo script in $VISUAL, $EDITOR o vi prima di creare il pacchetto\n"
    "                (il Blocco note su Windows) e attende che l'editor sia chiuso\n"
    "  --inf-only    scrive solo lo script setup.inf nella cartella temporanea\n"
    "                (\"Crea solo file inf\") e ne stampa il percorso\n"
    "  --quiet       nessun avanzamento e nessun messaggio di riuscita\n\n"
    "L'avanzamento va sullo standard error. Codici di uscita: 0 creato, 1 creazione\n"
    "fallita, 2 uso errato.\n";

// Progress on the error stream: a bar redrawn in place on a terminal, one line per
// step otherwise.
void ShowProgress(int percent, bool terminal) {
    if (terminal) {
        const int width = 30;
        std::string bar(static_cast<std::size_t>(percent * width / 100), '#');
        bar.resize(width, '.');
        std::fprintf(Err(), "\r[%s] %3d%%%s", bar.c_str(), percent, percent == 100 ? "\n" : "");
    } else {
        std::fprintf(Err(), "velaset build: %d%%\n", percent);
    }
    std::fflush(Err());
}

} // namespace

int RunBuildCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    std::string path;
    BuildOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return UsageError("build", "-o vuole il percorso dell'eseguibile", kUsage);
            options.exeFile = platform::AbsoluteSourcePath(argv[++i]);
        } else if (std::strcmp(argv[i], "--edit") == 0) {
            options.editScript = true;
        } else if (std::strcmp(argv[i], "--inf-only") == 0) {
            options.scriptOnly = true;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            options.quiet = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return UsageError("build", std::string("opzione sconosciuta: ") + argv[i], kUsage);
        } else if (path.empty()) {
            path = argv[i];
        } else {
            return UsageError("build", std::string("argomento in più: ") + argv[i], kUsage);
        }
    }
    if (path.empty())
        return UsageError("build", "manca il file di progetto", kUsage);

    Project project;
    int loaded = LoadNamedProject(path, &project);
    if (loaded != kExitOk)
        return loaded;

    BuildServices services = DefaultBuildServices();
    if (!options.scriptOnly) {
        platform::Status bound = BindComprimi(&services.comprimi);
        if (!bound)
            return Failed(bound);
    }

    BuildPage page;
    const bool terminal = platform::StandardErrorIsTerminal();
    bool barOpen = false; // a bar drawn on the terminal whose line is not finished
    if (!options.quiet) {
        page.onProgress = [terminal, &barOpen](int percent) {
            ShowProgress(percent, terminal);
            barOpen = terminal && percent < 100;
        };
    }
    std::string scriptPath;
    if (!RunBuild(project, options, services, page, &scriptPath)) {
        if (barOpen)
            std::fputc('\n', Err());
        std::fprintf(Err(), "velaset build: %s\n", page.Label22.c_str());
        return kExitFailed;
    }
    if (options.scriptOnly)
        std::fprintf(Out(), "%s\n", scriptPath.c_str());
    return kExitOk;
}

} // namespace cli
} // namespace velaset

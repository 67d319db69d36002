// velaset build PROJECT.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]: turns a
// project into its setup executable (or only its setup script), as the last page of
// the wizard does.
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/package/build_pipeline.h"
#include "builder/package/joined_text.h"
#include "builder/package/success_message.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "cli/signing_options.h"
#include "platform/interrupt.h"
#include "platform/message_box.h"
#include "platform/source_path.h"
#include "platform/terminal.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] =
    "velaset build PROGETTO.mip [-o SETUP.exe] [--arch x86|x64] [--compression lzx|mszip]\n"
    "              [--edit] [--inf-only] [--quiet]";

const char kHelp[] =
    "Crea l'eseguibile autoestraente del progetto (il suo ExeFile, o SETUP.exe con -o):\n"
    "lo script setup.inf, il file CAB con i file del progetto e il programma di\n"
    "installazione davanti. Salva il progetto prima di creare il file CAB.\n\n"
    "  -o SETUP.exe  scrive l'eseguibile qui invece che in ExeFile (il progetto non cambia)\n"
    "  --arch x64    crea un pacchetto x64, per programmi a 64 bit (Avviora64.exe e\n"
    "                avviora.dll a 64 bit); --arch x86 un pacchetto a 32 bit. Solo per\n"
    "                questa creazione: il progetto (chiave Architettura) non cambia\n"
    "  --compression lzx  comprime il file CAB con LZX (pacchetto più piccolo, più lento\n"
    "                da creare); --compression mszip con MSZIP. Solo per questa\n"
    "                creazione: il progetto (chiave Compressione) non cambia\n"
    "  --edit        apre lo script in $VISUAL, $EDITOR o vi prima di creare il pacchetto\n"
    "                (il Blocco note su Windows) e attende che l'editor sia chiuso\n"
    "  --inf-only    scrive solo lo script setup.inf nella cartella temporanea\n"
    "                (\"Crea solo file inf\") e ne stampa il percorso\n"
    "  --quiet       nessun avanzamento e nessun messaggio di riuscita\n\n"
    "L'avanzamento va sullo standard error, con i byte compressi e il file in\n"
    "compressione. Un progetto che elenca file che non si possono leggere non viene\n"
    "creato né salvato; l'eseguibile non viene mai creato in una cartella che non esiste.\n"
    "Il nuovo eseguibile è scritto accanto al vecchio (SETUP.exe.~vsXXXXXX) e ne prende\n"
    "il posto solo quando è completo: una creazione fallita, interrotta (Ctrl-C, SIGTERM)\n"
    "o uccisa lascia l'eseguibile di prima com'era. Interrotta, la creazione toglie i suoi\n"
    "file di lavoro; quello di una creazione uccisa lo toglie la creazione successiva.\n"
    "Codici di uscita: 0 creato, 1 creazione fallita, 2 uso errato, 130 interrotta con\n"
    "Ctrl-C, 143 terminata.\n";

// The usage line with the signing options, and the help with their part.
std::string FullUsage() {
    return std::string(kUsage) + "\n         " + kSigningUsage;
}

// How the command line shows a build, on the error stream: progress as a bar redrawn
// in place on a terminal and as one line per step otherwise, then the reason of a
// failure and "Creazione fallita", or the success message; the path of the script of a
// script-only run on the output stream. --quiet keeps the progress and the success
// message back, never a failure.
class CommandLineBuildStatus : public BuildStatus {
  public:
    CommandLineBuildStatus(bool quiet, bool scriptOnly, bool terminal)
        : quiet_(quiet), scriptOnly_(scriptOnly), terminal_(terminal) {}

    void StepStarted(BuildStep) override {}

    void Progress(const BuildProgress& progress) override {
        if (quiet_)
            return;
        const int percent = progress.percent;
        if (terminal_) {
            const int width = 30;
            std::string bar(static_cast<std::size_t>(percent * width / 100), '#');
            bar.resize(width, '.');
            std::string line = "[" + bar + "] " + std::to_string(percent) + "%";
            if (!progress.packing.empty())
                line += "  " + MegabytesText(progress.bytesDone) + " di " +
                        MegabytesText(progress.bytesTotal) + " MB  " +
                        platform::SourceFileName(progress.packing);
            // The line is redrawn in place: blanks wipe what a longer one left.
            const std::size_t shown = line.size();
            if (line.size() < lineWidth_)
                line.resize(lineWidth_, ' ');
            lineWidth_ = shown;
            std::fprintf(Err(), "\r%s%s", line.c_str(), percent == 100 ? "\n" : "");
            barOpen_ = percent < 100;
        } else if (percent != printedPercent_) {
            // One line per whole percent: the compression of a large package says what it
            // packs without a line per block.
            if (progress.packing.empty())
                std::fprintf(Err(), "velaset build: %d%%\n", percent);
            else
                std::fprintf(Err(), "velaset build: %d%% - compressione di %s\n", percent,
                             progress.packing.c_str());
        }
        printedPercent_ = percent;
        std::fflush(Err());
    }

    // Said after a refused output folder: how to name another one.
    void SetOutputAdvice(const std::string& advice) { outputAdvice_ = advice; }

    void BuildFailed(const BuildFailure& failure) override {
        EndBar();
        std::string text = failure.text;
        if (failure.kind == FailureKind::NoOutputFolder && !outputAdvice_.empty())
            text += " " + outputAdvice_;
        if (!text.empty())
            std::fprintf(Err(), "%s\n", platform::MessageBoxLine("Velaset", text).c_str());
        if (failure.kind == FailureKind::Interrupted)
            std::fprintf(Err(), "velaset build: Creazione interrotta: nessun file di lavoro è "
                                "rimasto e l'eseguibile di prima, se c'era, è com'era\n");
        else
            std::fprintf(Err(), "velaset build: Creazione fallita\n");
    }

    // Told even with --quiet: the package differs from the files in what it says.
    void Notice(const std::string& text) override {
        EndBar();
        std::fprintf(Err(), "velaset build: %s\n", text.c_str());
    }

    void BuildDone(const std::string& path) override {
        EndBar();
        if (scriptOnly_)
            std::fprintf(Out(), "%s\n", path.c_str());
        else if (!quiet_)
            std::fprintf(Err(), "%s\n",
                         platform::MessageBoxLine("Velaset", BuildSuccessMessage(path)).c_str());
    }

  private:
    // A bar drawn on the terminal whose line is not finished gets its line end first.
    void EndBar() {
        if (barOpen_)
            std::fputc('\n', Err());
        barOpen_ = false;
    }

    bool quiet_;
    bool scriptOnly_;
    bool terminal_;
    bool barOpen_ = false;
    int printedPercent_ = -1;
    std::size_t lineWidth_ = 0;
    std::string outputAdvice_;
};

} // namespace

int RunBuildCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s\n%s", FullUsage().c_str(), kHelp, kSigningHelp);
        return kExitOk;
    }
    std::string path;
    BuildOptions options;
    bool quiet = false;
    const std::string usage = FullUsage();
    for (int i = 1; i < argc; ++i) {
        std::string signingProblem;
        SigningArgument signing =
            TakeSigningOption(argc, argv, &i, &options.signing, &signingProblem);
        if (signing == SigningArgument::Taken)
            continue;
        if (signing == SigningArgument::Bad)
            return UsageError("build", signingProblem, usage.c_str());
        if (std::strcmp(argv[i], "-o") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return UsageError("build", "-o vuole il percorso dell'eseguibile", kUsage);
            options.exeFile = platform::AbsoluteSourcePath(argv[++i]);
        } else if (std::strcmp(argv[i], "--arch") == 0) {
            Architecture architecture;
            if (i + 1 >= argc || !ParseArchitecture(argv[i + 1], &architecture))
                return UsageError("build", "--arch vuole x86 o x64", kUsage);
            options.architecture = architecture;
            ++i;
        } else if (std::strcmp(argv[i], "--compression") == 0) {
            Compression compression;
            if (i + 1 >= argc || !ParseCompression(argv[i + 1], &compression))
                return UsageError("build", "--compression vuole lzx o mszip", kUsage);
            options.compression = compression;
            ++i;
        } else if (std::strcmp(argv[i], "--edit") == 0) {
            options.editScript = true;
        } else if (std::strcmp(argv[i], "--inf-only") == 0) {
            options.scriptOnly = true;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            quiet = true;
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
    const std::string signingProblem = SigningOptionsProblem(options.signing, options.scriptOnly);
    if (!signingProblem.empty())
        return UsageError("build", signingProblem, usage.c_str());
    if (options.signing.Wanted())
        options.signing.password = SigningPasswordFromEnvironment();

    Project project;
    ProjectLock lock;
    int loaded = LoadNamedProject(path, &project, LoadUse::Save, &lock);
    if (loaded != kExitOk)
        return loaded;
    BuildServices services = DefaultBuildServices();

    // Ctrl-C and SIGTERM stop the build at its next check; it removes its working files
    // itself (the old executable stays), then the exit code tells the interrupt.
    platform::ScopedInterruptCatcher interrupts;
    services.interrupted = platform::InterruptRequested;
    CommandLineBuildStatus status(quiet, options.scriptOnly, platform::StandardErrorIsTerminal());
    if (options.exeFile.empty())
        status.SetOutputAdvice("Indicarlo con -o SETUP.exe, oppure con velaset set " +
                               project.ProgFile + " ExeFile=PERCORSO.");
    if (RunBuild(project, options, services, status))
        return kExitOk;
    return platform::InterruptRequested() ? platform::InterruptExitCode() : kExitFailed;
}

} // namespace cli
} // namespace velaset

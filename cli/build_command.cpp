// velaset build PROJECT.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]
// Turns a project into its setup executable (or only its setup script), as the last
// page of the wizard does.
#include "cli/build_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "builder/build/build_pipeline.h"
#include "builder/build/comprimi_binding.h"
#include "builder/project/project_file.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/source_path.h"
#include "platform/terminal.h"

namespace {

const char kBuildUsage[] =
    "usage: velaset build PROJECT.mip [-o SETUP.exe] [--edit] [--inf-only] [--quiet]\n"
    "  Builds the setup executable of the project (its ExeFile, or SETUP.exe with -o).\n"
    "  --edit      open the setup script in $VISUAL, $EDITOR or vi before packing\n"
    "  --inf-only  write only the setup script (\"Crea solo file inf\")\n"
    "  --quiet     no progress and no success message\n"
    "Exit codes: 0 built, 1 the build failed, 2 bad usage.\n";

struct BuildArguments {
    std::string project;
    velaset::BuildOptions options;
};

// Parses the arguments after "build"; false on bad usage.
bool ParseBuildArguments(const std::vector<std::string>& args, BuildArguments* parsed,
                         std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") {
            if (i + 1 == args.size()) {
                *error = "-o needs the path of the setup executable";
                return false;
            }
            parsed->options.exeFile = platform::AbsoluteSourcePath(args[++i]);
        } else if (arg == "--edit") {
            parsed->options.editScript = true;
        } else if (arg == "--inf-only") {
            parsed->options.scriptOnly = true;
        } else if (arg == "--quiet") {
            parsed->options.quiet = true;
        } else if (!arg.empty() && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (parsed->project.empty()) {
            parsed->project = arg;
        } else {
            *error = "only one project file can be built at a time";
            return false;
        }
    }
    if (parsed->project.empty()) {
        *error = "the project file is missing";
        return false;
    }
    return true;
}

// Progress on standard error: a bar redrawn in place on a terminal, one line per step
// otherwise.
void ShowProgress(int percent, bool terminal) {
    if (terminal) {
        const int width = 30;
        std::string bar(static_cast<std::size_t>(percent * width / 100), '#');
        bar.resize(width, ' ');
        std::fprintf(stderr, "\r[%s] %3d%%%s", bar.c_str(), percent, percent == 100 ? "\n" : "");
    } else {
        std::fprintf(stderr, "velaset build: %d%%\n", percent);
    }
    std::fflush(stderr);
}

} // namespace

int BuildCommand(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kBuildUsage, stdout);
            return 0;
        }
    }
    BuildArguments parsed;
    std::string error;
    if (!ParseBuildArguments(args, &parsed, &error)) {
        std::fprintf(stderr, "velaset build: %s\n%s", error.c_str(), kBuildUsage);
        return 2;
    }
    platform::ScopedMessageBoxHandler boxes(platform::MessageBoxToStandardError);

    velaset::Project project;
    project.ProgFile = platform::AbsoluteSourcePath(parsed.project);
    platform::Status loaded = velaset::LoadProject(&project, platform::ApplicationFolder());
    if (!loaded) {
        std::fprintf(stderr, "velaset build: %s\n", loaded.message.c_str());
        return 1;
    }

    velaset::BuildServices services = velaset::DefaultBuildServices();
    if (!parsed.options.scriptOnly) {
        platform::Status bound = velaset::BindComprimi(&services.comprimi);
        if (!bound) {
            std::fprintf(stderr, "velaset build: %s\n", bound.message.c_str());
            return 1;
        }
    }

    velaset::BuildPage page;
    const bool terminal = platform::StandardErrorIsTerminal();
    bool barOpen = false; // a terminal bar drawn but not finished with its line end
    if (!parsed.options.quiet) {
        page.onProgress = [terminal, &barOpen](int percent) {
            ShowProgress(percent, terminal);
            barOpen = terminal && percent < 100;
        };
    }
    std::string scriptPath;
    if (!velaset::RunBuild(project, parsed.options, services, page, &scriptPath)) {
        if (barOpen)
            std::fputc('\n', stderr);
        std::fprintf(stderr, "velaset build: %s\n", page.Label22.c_str());
        return 1;
    }
    if (parsed.options.scriptOnly)
        std::printf("%s\n", scriptPath.c_str());
    return 0;
}

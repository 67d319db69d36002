// velaset inf PROJECT.mip [-o FILE] [--dist]: the script-only run. The project is saved
// first, then its setup script is written.
#include <cstdio>
#include <string>

#include "builder/script/script_file.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/list_edit_kit.h"
#include "cli/project_access.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset inf PROGETTO.mip [-o FILE] [--dist]";

const char kHelp[] =
    "Salva il progetto e ne scrive il file di installazione (setup.inf accanto al progetto,\n"
    "o FILE con -o): la variante di sola distribuzione se il progetto ha Distribuzione 1\n"
    "o con --dist, altrimenti quella completa. Un campo che spezzerebbe la sua riga o un\n"
    "file sparito fermano la scrittura e nessun file inf viene lasciato a metà.\n";

} // namespace

int RunInfCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    std::string projectPath;
    std::string output;
    bool dist = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o") {
            if (i + 1 >= argc) {
                return UsageError("inf", "manca il file dopo -o", kUsage);
            }
            output = platform::AbsoluteSourcePath(argv[++i]);
        } else if (arg == "--dist") {
            dist = true;
        } else if (projectPath.empty()) {
            projectPath = arg;
        } else {
            return UsageError("inf", "troppi argomenti: " + arg, kUsage);
        }
    }
    if (projectPath.empty()) {
        return UsageError("inf", "manca il file di progetto", kUsage);
    }
    Project project;
    ProjectLock lock;
    const int loaded = LoadNamedProject(projectPath, &project, LoadUse::Save, &lock);
    if (loaded != kExitOk) {
        return loaded;
    }
    const int saved = SaveEdited(project, project);
    if (saved != kExitOk) {
        return saved;
    }
    if (output.empty()) {
        output = platform::JoinSourcePath(
            platform::WithoutTrailingSeparator(platform::SourceFolderPart(project.ProgFile)),
            "setup.inf");
    }
    const ScriptVariant variant = dist ? ScriptVariant::DistributionOnly : VariantOf(project);
    const platform::Status written = WriteSetupScript(project, variant, output);
    if (!written) {
        return Failed(written);
    }
    return kExitOk;
}

} // namespace cli
} // namespace velaset

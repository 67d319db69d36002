// velaset show PROJECT.mip: the text that the save would write for the loaded project.
#include <cstdio>
#include <string>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "cli/show_files_command.h"
#include "platform/text_encoding.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset show PROGETTO.mip [--files]";

const char kHelp[] =
    "Carica PROGETTO.mip come fa il builder e stampa, in UTF-8 con righe terminate da LF,\n"
    "il testo che il salvataggio scriverebbe in un file nuovo: chiavi superate, file non\n"
    "più presenti e valori predefiniti si vedono così come il builder li vede.\n";

} // namespace

int RunShowCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fprintf(Out(), "uso: %s\n\n%s", kUsage, kHelp);
        return kExitOk;
    }
    const bool files = TakeFilesOption(&argc, argv);
    if (argc != 2)
        return UsageError("show", argc < 2 ? "manca il file di progetto" : "troppi argomenti",
                          kUsage);
    Project project;
    ProjectLock lock(platform::LockMode::Shared);
    int loaded = LoadNamedProject(argv[1], &project, LoadUse::Show, &lock);
    if (loaded != kExitOk)
        return loaded;

    // The save itself makes the text, in memory.
    std::string data;
    platform::Status saved = ProjectFileText(project, &data);
    if (!saved)
        return Failed(saved);

    std::string text;
    for (char c : platform::Windows1252ToUtf8(data)) {
        if (c != '\r')
            text += c;
    }
    std::fwrite(text.data(), 1, text.size(), Out());
    if (files)
        PrintFileList(project);
    return kExitOk;
}

} // namespace cli
} // namespace velaset

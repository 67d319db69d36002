// velaset show PROJECT.mip: the text that the save would write for the loaded project.
#include <cstdio>
#include <string>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"
#include "cli/show_files_command.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/source_path.h"
#include "platform/text_encoding.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset show PROGETTO.mip [--files]";

const char kHelp[] =
    "Carica PROGETTO.mip come fa il builder e stampa, in UTF-8 con righe terminate da LF,\n"
    "il testo che il salvataggio scriverebbe in un file nuovo: chiavi superate, file non\n"
    "più presenti e valori predefiniti si vedono così come il builder li vede.\n";

bool ReadWholeFile(const std::string& path, std::string* data) {
    std::FILE* f = platform::OpenFile(path, "rb");
    if (f == nullptr)
        return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data->append(buffer, n);
    std::fclose(f);
    return true;
}

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
    int loaded = LoadNamedProject(argv[1], &project, LoadUse::Show);
    if (loaded != kExitOk)
        return loaded;

    // The save itself writes the text, into a new working file.
    std::string scratch = platform::JoinSourcePath(
        platform::TempFolder(),
        "velaset-show-" + std::to_string(platform::CurrentProcessId()) + ".mip");
    platform::IgnoreFailure(platform::RemoveFile(scratch)); // the save below tells
    platform::Status saved = SaveProjectTo(project, scratch);
    std::string data;
    bool read = saved && ReadWholeFile(scratch, &data);
    platform::IgnoreFailure(platform::RemoveFile(scratch)); // a working file of our own
    if (!saved)
        return Failed(saved);
    if (!read)
        return Failed("Impossibile leggere " + scratch);

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

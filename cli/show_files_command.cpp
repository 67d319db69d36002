// The file list that "velaset show --files" prints after the project text.
#include "cli/show_files_command.h"

#include <cstdio>
#include <cstring>

#include "builder/project/package_names.h"
#include "cli/command_kit.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {

void PrintFileList(const Project& project) {
    std::fprintf(Out(), "\nFile (nome corto, destinazione, percorso):\n");
    platform::ShortPathCache shortPaths;
    const std::vector<std::string> names = PackageShortNames(project.Files(), shortPaths);
    for (size_t i = 0; i < names.size(); ++i) {
        const FileEntry& entry = project.Files()[i];
        std::string shortName = names[i];
        if (shortName.empty()) {
            shortName = "(mancante)";
        }
        std::fprintf(Out(), "%-12s  %-2s  %s\n", shortName.c_str(), entry.destination.c_str(),
                     entry.path.c_str());
    }
}

bool TakeFilesOption(int* argc, char** argv) {
    bool found = false;
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0) {
            found = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
    return found;
}

} // namespace cli
} // namespace velaset

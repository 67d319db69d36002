// Shared helpers of the list-editing commands.
#include "cli/list_edit_kit.h"

#include <cstdio>

#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "platform/source_path.h"

namespace velaset {
namespace cli {

int FindFileRow(const Project& project, const std::string& argument) {
    const std::string absolute = platform::AbsoluteSourcePath(argument);
    const auto& files = project.Files();
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].path == argument || files[i].path == absolute) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string WithLineFeeds(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace cli
} // namespace velaset

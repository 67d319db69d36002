// ShortNameClash: no two listed files may share an 8.3 short name.
#include "builder/project/short_name_clash.h"

#include <cctype>

#include "platform/short_path.h"
#include "platform/source_path.h"

namespace velaset {
namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string ShortName(const std::string& sourcePath) {
    return platform::SourceFileName(platform::ShortPath(sourcePath));
}

bool ShortNameClash(const std::string& path, const std::vector<FileEntry>& files,
                    std::string* clashingPath) {
    const std::string name = Upper(ShortName(path));
    for (const FileEntry& entry : files) {
        if (Upper(ShortName(entry.path)) == name) {
            if (clashingPath != nullptr)
                *clashingPath = entry.path;
            return true;
        }
    }
    return false;
}

} // namespace velaset

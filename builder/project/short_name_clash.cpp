// ShortNameClash: no two listed files may share an 8.3 short name.
#include "builder/project/short_name_clash.h"

#include "builder/project/package_names.h"
#include "platform/short_path.h"
#include "platform/source_path.h"

namespace velaset {

std::string ShortName(const std::string& sourcePath) {
    return platform::SourceFileName(platform::ShortPath(sourcePath));
}

bool ShortNameClash(const std::string& path, const std::vector<FileEntry>& files,
                    std::string* clashingPath) {
    const std::string name = ShortName(path);
    for (const FileEntry& entry : files) {
        ShortNameIndex one;
        one.Add(entry.path, ShortName(entry.path));
        if (!one.Find(path, name).listedPath.empty()) {
            if (clashingPath != nullptr)
                *clashingPath = entry.path;
            return true;
        }
    }
    return false;
}

} // namespace velaset

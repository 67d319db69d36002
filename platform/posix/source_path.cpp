// POSIX: source paths with "/" as separator.
#include "platform/source_path.h"

#include <climits>
#include <unistd.h>

#include <vector>

namespace platform {

char SourceSeparator() {
    return '/';
}

std::string SourceFileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SourceFolderPart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string JoinSourcePath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// As Windows makes a full path: "." and ".." taken away by the text alone and doubled
// separators dropped, so that every spelling of a path gives one text.
std::string AbsoluteSourcePath(const std::string& path) {
    std::string full = path;
    if (path.empty() || path[0] != '/') {
        char buffer[PATH_MAX];
        if (getcwd(buffer, sizeof buffer) == nullptr)
            return path;
        full = JoinSourcePath(buffer, path);
    }
    std::vector<std::string> parts;
    for (size_t start = 1; start <= full.size();) {
        size_t slash = full.find('/', start);
        if (slash == std::string::npos)
            slash = full.size();
        const std::string part = full.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string tidy;
    for (const std::string& part : parts)
        tidy += "/" + part;
    if (tidy.empty() || (!path.empty() && path.back() == '/'))
        tidy += "/";
    return tidy;
}

std::string WithoutTrailingSeparator(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

bool PathBelow(const std::string& folder, const std::string& path, std::string* relative) {
    if (folder.empty() || folder.back() != '/' || path.size() <= folder.size() ||
        path.compare(0, folder.size(), folder) != 0)
        return false;
    *relative = path.substr(folder.size());
    return true;
}

} // namespace platform

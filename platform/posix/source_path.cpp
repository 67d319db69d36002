// POSIX: source paths with "/" as separator.
#include "platform/source_path.h"

#include <climits>
#include <unistd.h>

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

std::string AbsoluteSourcePath(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return path;
    std::string relative = path;
    while (relative.compare(0, 2, "./") == 0)
        relative.erase(0, 2);
    return JoinSourcePath(buffer, relative);
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

// POSIX: path resolution by exact name, then ignoring case, then by short name.
#include "platform/posix/path_resolution.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include "platform/file_access.h"
#include "platform/short_name_rule.h"

namespace platform {
namespace posix {
namespace {

// Set to "1", it makes the emulation play a volume without 8.3 names (short_path.h).
const char* const kNoShortNamesVariable = "VELASET_NO_SHORT_NAMES";

} // namespace

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool VolumeHasShortNames() {
    const char* setting = std::getenv(kNoShortNamesVariable);
    return setting == nullptr || std::strcmp(setting, "1") != 0;
}

std::string EntryShortName(const std::string& name, const std::vector<std::string>& names) {
    return VolumeHasShortNames() ? ClassicShortName(name, names) : name;
}

bool FindEntry(const std::string& folder, const std::string& name, std::string* actual) {
    struct stat st;
    std::string prefix = folder.empty() ? "" : (folder.back() == '/' ? folder : folder + "/");
    if (name == "." || name == ".." || lstat((prefix + name).c_str(), &st) == 0) {
        *actual = name;
        return true;
    }
    std::vector<std::string> names = FolderEntries(folder);
    for (const std::string& candidate : names) {
        if (strcasecmp(candidate.c_str(), name.c_str()) == 0) {
            *actual = candidate;
            return true;
        }
    }
    if (!VolumeHasShortNames())
        return false;
    for (const std::string& candidate : names) {
        if (strcasecmp(ClassicShortName(candidate, names).c_str(), name.c_str()) == 0) {
            *actual = candidate;
            return true;
        }
    }
    return false;
}

std::vector<std::string> SplitPath(const std::string& path, bool* absolute) {
    *absolute = !path.empty() && path[0] == '/';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

} // namespace posix

std::string ResolvePath(const std::string& path) {
    // A path that names an entry as it is written resolves to itself: one call on the
    // system instead of one per component (each of which walks the path again).
    struct stat st;
    if (!path.empty() && path.back() != '/' && path.find("//") == std::string::npos &&
        lstat(path.c_str(), &st) == 0)
        return path;
    bool absolute;
    std::vector<std::string> parts = posix::SplitPath(path, &absolute);
    std::string resolved = absolute ? "/" : "";
    bool found = true;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string actual = parts[i];
        if (found)
            found = posix::FindEntry(resolved, parts[i], &actual);
        if (!resolved.empty() && resolved.back() != '/')
            resolved += "/";
        resolved += actual;
    }
    if (!path.empty() && path.back() == '/' && !resolved.empty() && resolved.back() != '/')
        resolved += "/";
    return resolved.empty() ? path : resolved;
}

} // namespace platform

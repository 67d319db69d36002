// POSIX: ShortPathCache. Each folder is listed once; the classic short names of all its
// entries are then numbered in one pass over the entries grouped by base and extension.
#include "platform/short_path_cache.h"

#include <algorithm>
#include <map>
#include <strings.h>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

#include "platform/posix/path_resolution.h"
#include "platform/short_name_rule.h"

namespace platform {

namespace {

// One folder as first read: its entries and the short name of each.
struct Folder {
    std::vector<std::string> names;                       // byte order
    std::unordered_map<std::string, std::string> shortOf; // long name -> short name
};

// The short names of all entries of a folder. A long name alone among its siblings gets
// BASE~1.EXT from the rule; the names that share that stem are numbered in byte order,
// the base keeping 6, 5 or 4 characters as the number grows, as the rule does one by one.
void NumberShortNames(Folder* folder) {
    std::map<std::string, std::vector<const std::string*>> stems; // "BASE~1.EXT" -> names
    const bool shortNames = posix::VolumeHasShortNames();
    for (const std::string& name : folder->names) {
        if (IsShortName(name) || !shortNames) { // a volume without 8.3 names: the long name
            folder->shortOf.emplace(name, name);
        } else {
            stems[ClassicShortName(name, {})].push_back(&name);
        }
    }
    for (const auto& stem : stems) {
        for (size_t i = 0; i < stem.second.size(); ++i) {
            folder->shortOf.emplace(*stem.second[i], NumberedShortName(*stem.second[i], i + 1));
        }
    }
}

} // namespace

struct ShortPathCache::State {
    std::unordered_map<std::string, Folder> folders;

    Folder& FolderAt(const std::string& path) {
        auto found = folders.find(path);
        if (found != folders.end()) {
            return found->second;
        }
        Folder& folder = folders[path];
        folder.names = posix::FolderEntries(path);
        NumberShortNames(&folder);
        return folder;
    }

    // The entry of folder that name means, found as FindEntry finds it: the same name,
    // else one that differs in letter case only, else one whose short name it is.
    bool Find(const std::string& folderPath, const std::string& name, std::string* actual) {
        struct stat st;
        const std::string prefix =
            folderPath.empty() ? "" : (folderPath.back() == '/' ? folderPath : folderPath + "/");
        // The folder as read: many files of one folder cost one reading, not a call on
        // the system each; a name it did not show (an unreadable folder) is asked for.
        Folder& folder = FolderAt(folderPath);
        if (name == "." || name == ".." ||
            std::binary_search(folder.names.begin(), folder.names.end(), name) ||
            lstat((prefix + name).c_str(), &st) == 0) {
            *actual = name;
            return true;
        }
        for (const std::string& candidate : folder.names) {
            if (strcasecmp(candidate.c_str(), name.c_str()) == 0) {
                *actual = candidate;
                return true;
            }
        }
        if (!posix::VolumeHasShortNames()) {
            return false;
        }
        for (const std::string& candidate : folder.names) {
            if (strcasecmp(folder.shortOf[candidate].c_str(), name.c_str()) == 0) {
                *actual = candidate;
                return true;
            }
        }
        return false;
    }
};

ShortPathCache::ShortPathCache() : state_(new State) {}
ShortPathCache::~ShortPathCache() = default;

std::string ShortPathCache::Resolve(const std::string& path) {
    bool absolute;
    const std::vector<std::string> parts = posix::SplitPath(path, &absolute);
    std::string resolved = absolute ? "/" : "";
    bool found = true;
    for (const std::string& part : parts) {
        std::string actual = part;
        if (found) {
            found = state_->Find(resolved, part, &actual);
        }
        if (!resolved.empty() && resolved.back() != '/') {
            resolved += "/";
        }
        resolved += actual;
    }
    if (!path.empty() && path.back() == '/' && !resolved.empty() && resolved.back() != '/') {
        resolved += "/";
    }
    return resolved.empty() ? path : resolved;
}

std::string ShortPathCache::ShortPath(const std::string& path) {
    if (path.empty()) {
        return std::string();
    }
    bool absolute;
    const std::vector<std::string> parts = posix::SplitPath(path, &absolute);
    std::string longSoFar = absolute ? "/" : "";
    std::string shortSoFar = longSoFar;
    for (const std::string& part : parts) {
        std::string actual;
        if (!state_->Find(longSoFar, part, &actual)) {
            return std::string();
        }
        std::string shortName = actual;
        if (actual != "." && actual != "..") {
            Folder& folder = state_->FolderAt(longSoFar);
            auto known = folder.shortOf.find(actual);
            // An entry made after the folder was read is named as if alone.
            shortName = known != folder.shortOf.end()
                            ? known->second
                            : posix::EntryShortName(actual, folder.names);
        }
        for (std::string* p : {&longSoFar, &shortSoFar}) {
            if (!p->empty() && p->back() != '/') {
                *p += "/";
            }
        }
        longSoFar += actual;
        shortSoFar += shortName;
    }
    // The system's 165-character buffer, announced as 164.
    if (shortSoFar.size() >= 164) {
        return std::string();
    }
    return shortSoFar;
}

} // namespace platform

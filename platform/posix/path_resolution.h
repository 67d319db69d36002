// POSIX: finding the entries of a folder as Windows would name them.
#ifndef VELASET_PLATFORM_POSIX_PATH_RESOLUTION_H
#define VELASET_PLATFORM_POSIX_PATH_RESOLUTION_H

#include <string>
#include <vector>

namespace platform {
namespace posix {

// The names in folder ("." and ".." left out), in byte order; empty when unreadable.
std::vector<std::string> FolderEntries(const std::string& folder);

// The entry of folder that name means: the same name, else one that differs only in
// letter case, else the one whose short name is name (ignoring case). False when none.
bool FindEntry(const std::string& folder, const std::string& name, std::string* actual);

// The components of path; *absolute tells whether it started with "/".
std::vector<std::string> SplitPath(const std::string& path, bool* absolute);

} // namespace posix
} // namespace platform

#endif

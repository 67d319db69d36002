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
// letter case, else the one whose short name is name (ignoring case; only where the
// volume gives short names). False when none.
bool FindEntry(const std::string& folder, const std::string& name, std::string* actual);

// False while the emulation plays a volume without 8.3 names (kNoShortNamesVariable is
// "1"); read at every call, so that a test can switch it.
bool VolumeHasShortNames();

// The short name of entry name among the names of its folder: the classic one, or the
// name itself on a volume without 8.3 names.
std::string EntryShortName(const std::string& name, const std::vector<std::string>& names);

// The components of path; *absolute tells whether it started with "/".
std::vector<std::string> SplitPath(const std::string& path, bool* absolute);

} // namespace posix
} // namespace platform

#endif

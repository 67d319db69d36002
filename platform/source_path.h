// Source paths name files on the building machine: native paths with the platform's
// separator ("/" on POSIX, "\" on Windows). Target paths (the installing machine's
// folders) always use "\" and do not go through these helpers.
#ifndef VELASET_PLATFORM_SOURCE_PATH_H
#define VELASET_PLATFORM_SOURCE_PATH_H

#include <string>

namespace platform {

// The separator of source paths on this platform.
char SourceSeparator();

// The text behind the last separator (the whole text when there is none).
std::string SourceFileName(const std::string& path);

// The path without its file name, keeping the final separator ("" when none).
std::string SourceFolderPart(const std::string& path);

// folder, then the separator unless folder already ends in one, then name.
std::string JoinSourcePath(const std::string& folder, const std::string& name);

// The absolute form of path, relative to the current directory when it is relative.
std::string AbsoluteSourcePath(const std::string& path);

// Removes one trailing separator (a root like "/" or "C:\" loses it too).
std::string WithoutTrailingSeparator(const std::string& path);

// True when path lies inside folder (given with its final separator, as
// SourceFolderPart gives it); *relative gets the part of path after folder. Letter case
// is ignored on Windows, as its file systems ignore it.
bool PathBelow(const std::string& folder, const std::string& path, std::string* relative);

} // namespace platform

#endif

// Private working folders: one per build, so that concurrent builds never share
// their working files, removed with everything in them when the build ends.
#ifndef VELASET_PLATFORM_WORK_FOLDER_H
#define VELASET_PLATFORM_WORK_FOLDER_H

#include <string>
#include <vector>

#include "platform/status.h"

namespace platform {

// Creates a new folder that did not exist before inside parent, named prefix followed
// by six unique letters or digits; *made gets its path (no trailing separator).
Status MakeUniqueFolder(const std::string& parent, const std::string& prefix, std::string* made);

// The names of the files and folders in folder ("." and ".." left out), sorted.
Status ListFolder(const std::string& folder, std::vector<std::string>* names);

// Makes linkPath a second name of the existing file target: a hard link (on POSIX a
// symbolic link where the two are on different file systems; Windows needs both on one
// volume).
Status LinkFile(const std::string& target, const std::string& linkPath);

// Deletes folder with every file and folder in it. Success when nothing is left.
Status RemoveFolderTree(const std::string& folder);

} // namespace platform

#endif

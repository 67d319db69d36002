// Whole files as one piece: read all of a file, or replace all of it in one step, so
// that the file is always either its old bytes or its new ones, whatever happens in
// between (a full disk, a killed process, a crash).
#ifndef VELASET_PLATFORM_WHOLE_FILE_H
#define VELASET_PLATFORM_WHOLE_FILE_H

#include <string>

#include "platform/status.h"

namespace platform {

// All bytes of the file at path. A file that does not exist is no failure: *exists is
// false and *data empty.
Status ReadWholeFile(const std::string& path, std::string* data, bool* exists);

// Makes data the whole content of the file at path (a FileReplacement): written and
// flushed to the disk as a new file in the same folder, which then takes the place of
// the old one (rename on POSIX, MoveFileEx with replace and write-through on Windows).
// The old file's
// permissions (attributes on Windows) stay; a file that may not be written is refused
// as before, and a symbolic link keeps pointing at its file. On failure the file is
// as it was and no new file is left behind. The failure names path (Operation::Create).
Status ReplaceWholeFile(const std::string& path, const std::string& data);

} // namespace platform

#endif

// Opening files by paths that may contain short or differently cased components,
// as Windows resolves them ("setup.CAB" written and "setup.cab" read are one file).
#ifndef VELASET_PLATFORM_FILE_ACCESS_H
#define VELASET_PLATFORM_FILE_ACCESS_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/status.h"

namespace platform {

// The path as the file system holds it: each existing component resolved by exact
// name, then ignoring letter case, then by short name. Components that do not exist
// (a file about to be created) are kept as given. The identity on Windows.
std::string ResolvePath(const std::string& path);

// fopen on the resolved path; null on failure (errno / GetLastError tell why).
std::FILE* OpenFile(const std::string& path, const char* mode);

// True when the file exists and can be opened for reading.
bool IsReadableFile(const std::string& path);

// True when path names an existing directory.
bool IsDirectory(const std::string& path);

// True when path is a link to a folder rather than a folder of its own: a symbolic
// link on POSIX, a junction or other reparse point on Windows.
bool IsLinkToFolder(const std::string& path);

// True when path names an existing file or directory.
bool PathExists(const std::string& path);

// True when both paths name one existing file (whatever their spelling, links included).
bool SameFile(const std::string& a, const std::string& b);

// The size of a file in bytes; false when it cannot be asked for.
bool FileSize(const std::string& path, std::uint64_t* size);

// The bytes free for this user on the disk of folder; false when it cannot be asked.
bool FreeDiskSpace(const std::string& folder, std::uint64_t* bytes);

// Deletes a file; success when it was deleted or did not exist.
Status RemoveFile(const std::string& path);

// Creates one directory; success when it exists afterwards.
Status MakeDirectory(const std::string& path);

} // namespace platform

#endif

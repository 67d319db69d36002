// Last-write times of files, in seconds since 1970-01-01 00:00 UTC. The build gives the
// files it makes for a package fixed times, so that a package is the same on every run.
#ifndef VELASET_PLATFORM_FILE_TIMES_H
#define VELASET_PLATFORM_FILE_TIMES_H

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

// The last-write time of an existing file; false when it cannot be read.
bool ReadFileTime(const std::string& path, std::int64_t* secondsSince1970);

// Sets the last-write time (and the last-access time) of an existing file.
Status WriteFileTime(const std::string& path, std::int64_t secondsSince1970);

} // namespace platform

#endif

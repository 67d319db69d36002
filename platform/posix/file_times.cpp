// POSIX implementation of platform/file_times.h.
#include "platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/file_access.h"

namespace platform {

bool ReadFileTime(const std::string& path, std::int64_t* secondsSince1970) {
    struct stat info;
    if (stat(ResolvePath(path).c_str(), &info) != 0)
        return false;
    *secondsSince1970 = static_cast<std::int64_t>(info.st_mtime);
    return true;
}

Status WriteFileTime(const std::string& path, std::int64_t secondsSince1970) {
    struct timespec times[2];
    times[0].tv_sec = static_cast<std::time_t>(secondsSince1970);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, ResolvePath(path).c_str(), times, 0) != 0)
        return Status::LastSystemError(Operation::Create, path);
    return Status::Ok();
}

} // namespace platform

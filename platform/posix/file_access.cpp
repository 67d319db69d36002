// POSIX: file access through path resolution.
#include "platform/file_access.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(ResolvePath(path).c_str(), mode);
}

bool IsReadableFile(const std::string& path) {
    struct stat st;
    std::string resolved = ResolvePath(path);
    if (stat(resolved.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    std::FILE* f = std::fopen(resolved.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::fclose(f);
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLinkToFolder(const std::string& path) {
    struct stat st;
    return lstat(ResolvePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode) && IsDirectory(path);
}

bool PathExists(const std::string& path) {
    struct stat st;
    return stat(ResolvePath(path).c_str(), &st) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(ResolvePath(a).c_str(), &first) == 0 && stat(ResolvePath(b).c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool FileSize(const std::string& path, std::uint64_t* size) {
    struct stat st;
    if (stat(ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool FreeDiskSpace(const std::string& folder, std::uint64_t* bytes) {
    struct statvfs info;
    if (statvfs(ResolvePath(folder).c_str(), &info) != 0)
        return false;
    *bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}

Status RemoveFile(const std::string& path) {
    std::string resolved = ResolvePath(path);
    if (unlink(resolved.c_str()) == 0 || errno == ENOENT)
        return Status::Ok();
    return Status::LastSystemError(Operation::Delete, path);
}

Status MakeDirectory(const std::string& path) {
    std::string resolved = ResolvePath(path);
    if (mkdir(resolved.c_str(), 0777) == 0)
        return Status::Ok();
    int error = errno; // before the check below asks the system again
    if (IsDirectory(resolved))
        return Status::Ok();
    return Status::SystemError(error, Operation::Create, path);
}

} // namespace platform

// POSIX: file access through path resolution.
#include "platform/file_access.h"

#include <cerrno>
#include <sys/stat.h>
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

bool PathExists(const std::string& path) {
    struct stat st;
    return stat(ResolvePath(path).c_str(), &st) == 0;
}

Status RemoveFile(const std::string& path) {
    std::string resolved = ResolvePath(path);
    if (unlink(resolved.c_str()) == 0 || errno == ENOENT)
        return Status::Ok();
    return Status::Failed("Impossibile eliminare " + path + ", " + LastSystemErrorText());
}

Status MakeDirectory(const std::string& path) {
    std::string resolved = ResolvePath(path);
    if (mkdir(resolved.c_str(), 0777) == 0 || IsDirectory(resolved))
        return Status::Ok();
    return Status::Failed("Impossibile creare " + path + ", " + LastSystemErrorText());
}

} // namespace platform

// POSIX implementation of platform/file_replacement.h: a working file held with flock,
// put in place with rename.
#include "platform/file_replacement.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/file_access.h"
#include "platform/posix/path_resolution.h"
#include "platform/source_path.h"

namespace platform {
namespace {

// The file that a write of path lands in: the path as the file system holds it, and
// for a symbolic link the file it points at.
std::string FileBehind(const std::string& path) {
    std::string resolved = ResolvePath(path);
    char real[PATH_MAX];
    struct stat info;
    if (lstat(resolved.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        realpath(resolved.c_str(), real) != nullptr)
        return real;
    return resolved;
}

// Working files of the file named name in folder whose writers have ended: nobody holds
// their lock any more, so they are taken and removed.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
    for (const std::string& entry : posix::FolderEntries(folder.empty() ? "." : folder)) {
        if (!IsWorkingFileName(entry, name))
            continue;
        const std::string path = folder + entry;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(path.c_str());
        close(fd);
    }
}

// For calls whose failure changes nothing that matters.
void IgnoreResult(int) {}

unsigned long long Entropy() {
    struct timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_nsec) ^
           (static_cast<unsigned long long>(now.tv_sec) << 30) ^
           (static_cast<unsigned long long>(getpid()) << 40);
}

} // namespace

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (!file_.IsOpen())
        return;
    if (!committed_)
        unlink(working_.c_str());
    IgnoreFailure(file_.Close());
}

Status FileReplacement::Begin(const std::string& target) {
    Discard();
    committed_ = false;
    target_ = target;
    replaced_ = FileBehind(target);
    struct stat old;
    const bool existed = stat(replaced_.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return Status::SystemError(EISDIR, Operation::Create, target);
    // A file that may not be written stays so: renaming over it would get round that.
    if (existed && access(replaced_.c_str(), W_OK) != 0)
        return Status::LastSystemError(Operation::Create, target);
    const std::string folder = SourceFolderPart(replaced_);
    const std::string name = SourceFileName(replaced_);
    RemoveLeftovers(folder, name);
    Status opened = Status::Ok();
    for (int attempt = 0; attempt < 100; ++attempt) {
        working_ = folder + WorkingFileName(name, UniqueLetters(Entropy()));
        opened = file_.Open(working_, FileWriter::Creation::NewOnly, target);
        if (opened || opened.systemError != EEXIST)
            break;
    }
    if (!opened)
        return opened;
    const int fd = static_cast<int>(file_.Native());
    // Held until the writer ends, however it ends: the lock tells a working file that is
    // being written from one that a killed writer left.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        Discard();
        return Status::SystemError(error, Operation::Create, target);
    }
    if (existed) {
        // The owner and the permissions go where the system lets them: only an
        // administrator gives a file to another user, and a file system without
        // permissions (FAT) has none to keep.
        IgnoreResult(fchown(fd, old.st_uid, old.st_gid));
        IgnoreResult(fchmod(fd, old.st_mode & 07777));
    }
    return Status::Ok();
}

Status FileReplacement::Commit() {
    if (!file_.IsOpen())
        return Status::SystemError(EBADF, Operation::Create, target_);
    // The data reaches the disk before the name does: a crash after the rename never
    // leaves the target empty or short.
    Status placed = file_.Flush();
    if (placed && rename(working_.c_str(), replaced_.c_str()) != 0)
        placed = Status::LastSystemError(Operation::Create, target_);
    if (!placed) {
        Discard();
        return placed;
    }
    committed_ = true;
    Discard();
    // The new name itself reaches the disk with its folder.
    const std::string folder = SourceFolderPart(replaced_);
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir); // the rename stands either way
        close(dir);
    }
    return Status::Ok();
}

} // namespace platform

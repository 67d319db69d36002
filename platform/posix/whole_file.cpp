// POSIX: whole files read at once and replaced by rename.
#include "platform/whole_file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_access.h"
#include "platform/source_path.h"

namespace platform {
namespace {

// Closes a descriptor on every way out.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now; false (errno set) when the system reports a failure.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

// The file that a write of path lands in: the path as the file system holds it, and
// for a symbolic link the file it points at.
std::string TargetOf(const std::string& path) {
    std::string resolved = ResolvePath(path);
    char real[PATH_MAX];
    struct stat info;
    if (lstat(resolved.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        realpath(resolved.c_str(), real) != nullptr)
        return real;
    return resolved;
}

// "vs", six letters or digits, ".tmp": a valid 8.3 name, which is its own short name
// and changes the short name of no other file in the folder while it exists.
std::string TemporaryName() {
    static unsigned long counter = 0;
    unsigned long long seed =
        static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<unsigned long long>(getpid()) << 20) ^ (++counter * 2654435761ull);
    const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = "vs";
    for (int i = 0; i < 6; ++i) {
        name += digits[seed % 36];
        seed /= 36;
    }
    return name + ".tmp";
}

// For calls whose failure changes nothing that matters.
void IgnoreResult(int) {}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

Status ReadWholeFile(const std::string& path, std::string* data, bool* exists) {
    data->clear();
    *exists = false;
    Descriptor fd(open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return Status::Ok();
        return Status::LastSystemError(Operation::Read, path);
    }
    struct stat info;
    if (fstat(fd.Get(), &info) != 0)
        return Status::LastSystemError(Operation::Read, path);
    if (S_ISDIR(info.st_mode))
        return Status::SystemError(EISDIR, Operation::Read, path);
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Status::LastSystemError(Operation::Read, path);
        if (n == 0)
            break;
        data->append(buffer, static_cast<size_t>(n));
    }
    *exists = true;
    return Status::Ok();
}

Status ReplaceWholeFile(const std::string& path, const std::string& data) {
    const std::string target = TargetOf(path);
    struct stat old;
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return Status::SystemError(EISDIR, Operation::Create, path);
    // A file that may not be written stays so: renaming over it would get round that.
    if (existed && access(target.c_str(), W_OK) != 0)
        return Status::LastSystemError(Operation::Create, path);

    std::string folder = SourceFolderPart(target);
    std::string temporary;
    int opened = -1;
    for (int attempt = 0; attempt < 100 && opened < 0; ++attempt) {
        temporary = folder + TemporaryName();
        opened = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (opened < 0 && errno != EEXIST)
            break;
    }
    if (opened < 0)
        return Status::LastSystemError(Operation::Create, path);
    Descriptor fd(opened);
    if (existed) {
        // The owner goes only where the system lets it (an administrator saving another
        // user's project); the permissions always.
        IgnoreResult(fchown(fd.Get(), old.st_uid, old.st_gid));
        IgnoreResult(fchmod(fd.Get(), old.st_mode & 07777));
    }
    bool ok = WriteAll(fd.Get(), data) && fsync(fd.Get()) == 0;
    ok = ok && fd.Close();
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        unlink(temporary.c_str());
        return Status::SystemError(error, Operation::Create, path);
    }
    // The new name itself reaches the disk with the folder.
    Descriptor dir(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        IgnoreResult(fsync(dir.Get()));
    return Status::Ok();
}

} // namespace platform

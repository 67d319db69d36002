// POSIX: whole files read at once.
#include "platform/whole_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_access.h"

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

  private:
    int fd_;
};

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

} // namespace platform

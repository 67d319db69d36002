// POSIX implementation of platform/file_writer.h: a descriptor written with write(2).
#include "platform/file_writer.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_access.h"

namespace platform {

FileWriter::~FileWriter() {
    if (handle_ != kNone)
        close(static_cast<int>(handle_));
}

Status FileWriter::Failure() const {
    return Status::LastSystemError(Operation::Create, subject_);
}

Status FileWriter::Open(const std::string& path, Creation creation, const std::string& subject) {
    IgnoreFailure(Close());
    subject_ = subject.empty() ? path : subject;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC |
                      (creation == Creation::NewOnly ? O_EXCL : O_TRUNC);
    const int fd = open(ResolvePath(path).c_str(), flags, 0666);
    if (fd < 0)
        return Failure();
    handle_ = fd;
    return Status::Ok();
}

Status FileWriter::Append(const char* data, std::size_t size) {
    if (handle_ == kNone)
        return Status::SystemError(EBADF, Operation::Create, subject_);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(static_cast<int>(handle_), data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return Failure();
        }
        done += static_cast<std::size_t>(n);
    }
    return Status::Ok();
}

Status FileWriter::AppendFile(const std::string& source) {
    const int fd = open(ResolvePath(source).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::LastSystemError(Operation::Read, source);
    char buffer[65536];
    Status status = Status::Ok();
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            status = Status::LastSystemError(Operation::Read, source);
        if (n <= 0)
            break;
        status = Append(buffer, static_cast<std::size_t>(n));
        if (!status)
            break;
    }
    close(fd);
    return status;
}

Status FileWriter::Flush() {
    if (handle_ == kNone)
        return Status::SystemError(EBADF, Operation::Create, subject_);
    return fsync(static_cast<int>(handle_)) == 0 ? Status::Ok() : Failure();
}

Status FileWriter::Close() {
    if (handle_ == kNone)
        return Status::Ok();
    const int fd = static_cast<int>(handle_);
    handle_ = kNone;
    return close(fd) == 0 ? Status::Ok() : Failure();
}

} // namespace platform

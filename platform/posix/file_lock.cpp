// POSIX: file locks with flock on the lock file.
#include "platform/file_lock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "platform/file_access.h"

namespace platform {

LockOutcome FileLock::Acquire(const std::string& lockPath, LockMode mode, int waitMilliseconds,
                              Status* failure) {
    Release();
    const std::string resolved = ResolvePath(lockPath);
    int fd = open(resolved.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && mode == LockMode::Shared && (errno == EACCES || errno == EROFS))
        fd = open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *failure = Status::LastSystemError(Operation::Create, lockPath);
        return LockOutcome::Failed;
    }
    const int operation = (mode == LockMode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        if (flock(fd, operation) == 0) {
            handle_ = fd;
            return LockOutcome::Locked;
        }
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            close(fd);
            *failure = Status::SystemError(error, Operation::Create, lockPath);
            return LockOutcome::Failed;
        }
        if (error == EWOULDBLOCK && std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            *failure = Status::SystemError(error, Operation::Create, lockPath);
            return LockOutcome::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void FileLock::Release() {
    if (handle_ == kNone)
        return;
    // Closing the file lets go of the lock.
    close(static_cast<int>(handle_));
    handle_ = kNone;
}

} // namespace platform

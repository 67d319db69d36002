// Win32: file locks with LockFileEx on the first byte of the lock file.
#include "platform/file_lock.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

LockOutcome FileLock::Acquire(const std::string& lockPath, LockMode mode, int waitMilliseconds,
                              Status* failure) {
    Release();
    const std::wstring wide = win32::Widen(lockPath);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && mode == LockMode::Shared &&
        GetLastError() == ERROR_ACCESS_DENIED)
        file = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *failure = Status::LastSystemError(Operation::Create, lockPath);
        return LockOutcome::Failed;
    }
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY |
                        (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    const DWORD start = GetTickCount();
    for (;;) {
        OVERLAPPED at = {};
        if (LockFileEx(file, flags, 0, 1, 0, &at)) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            return LockOutcome::Locked;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            CloseHandle(file);
            *failure = Status::SystemError(static_cast<int>(error), Operation::Create, lockPath);
            return LockOutcome::Failed;
        }
        if (GetTickCount() - start >= static_cast<DWORD>(waitMilliseconds)) {
            CloseHandle(file);
            *failure = Status::SystemError(static_cast<int>(error), Operation::Create, lockPath);
            return LockOutcome::Busy;
        }
        Sleep(20);
    }
}

void FileLock::Release() {
    if (handle_ == kNone)
        return;
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED at = {};
    UnlockFileEx(file, 0, 1, 0, &at);
    CloseHandle(file);
    handle_ = kNone;
}

} // namespace platform

// Win32 implementation of platform/file_times.h.
#include "platform/file_times.h"

#include <windows.h>

namespace platform {

namespace {

// FILETIME counts 100-ns intervals since 1601-01-01; this is 1970-01-01 in that count.
const std::int64_t kUnixEpochInFileTime = 116444736000000000LL;

FILETIME ToFileTime(std::int64_t seconds) {
    std::uint64_t ticks = static_cast<std::uint64_t>(seconds * 10000000LL + kUnixEpochInFileTime);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

} // namespace

bool ReadFileTime(const std::string& path, std::int64_t* secondsSince1970) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    std::int64_t ticks = (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    *secondsSince1970 = (ticks - kUnixEpochInFileTime) / 10000000LL;
    return true;
}

Status WriteFileTime(const std::string& path, std::int64_t secondsSince1970) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return Status::LastSystemError(Operation::Create, path);
    FILETIME time = ToFileTime(secondsSince1970);
    BOOL set = SetFileTime(file, NULL, &time, &time);
    DWORD error = set ? 0 : GetLastError();
    CloseHandle(file);
    if (!set)
        return Status::SystemError(static_cast<int>(error), Operation::Create, path);
    return Status::Ok();
}

} // namespace platform

// Win32: file access; the file system itself resolves case and short names.
#include "platform/file_access.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

std::string ResolvePath(const std::string& path) {
    return path;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(win32::Widen(path).c_str(), win32::Widen(mode).c_str());
}

bool IsReadableFile(const std::string& path) {
    DWORD attributes = GetFileAttributesW(win32::Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr)
        return false;
    std::fclose(f);
    return true;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesW(win32::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLinkToFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesW(win32::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(win32::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The volume and the file index of an existing file; false when it cannot be opened.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileW(win32::Widen(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL got = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return got != FALSE;
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    return FileIdentity(a, &first) && FileIdentity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

bool FileSize(const std::string& path, std::uint64_t* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(win32::Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool FreeDiskSpace(const std::string& folder, std::uint64_t* bytes) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(win32::Widen(folder).c_str(), &available, nullptr, nullptr))
        return false;
    *bytes = available.QuadPart;
    return true;
}

Status RemoveFile(const std::string& path) {
    if (DeleteFileW(win32::Widen(path).c_str()))
        return Status::Ok();
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return Status::Ok();
    return Status::SystemError(static_cast<int>(error), Operation::Delete, path);
}

Status MakeDirectory(const std::string& path) {
    if (CreateDirectoryW(win32::Widen(path).c_str(), nullptr))
        return Status::Ok();
    DWORD error = GetLastError(); // before the check below asks the system again
    if (IsDirectory(path))
        return Status::Ok();
    return Status::SystemError(static_cast<int>(error), Operation::Create, path);
}

} // namespace platform

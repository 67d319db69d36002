// Win32: whole files read at once and replaced with MoveFileEx.
#include "platform/whole_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/source_path.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Closes a handle on every way out.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE)
            return true;
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

  private:
    HANDLE handle_;
};

// "vs", six letters or digits, ".tmp": a valid 8.3 name, which needs no short name of
// its own and changes no other file's.
std::string TemporaryName() {
    static unsigned long counter = 0;
    unsigned long long seed = (static_cast<unsigned long long>(GetTickCount()) << 16) ^
                              (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^
                              (++counter * 2654435761ull);
    LARGE_INTEGER now;
    if (QueryPerformanceCounter(&now))
        seed ^= static_cast<unsigned long long>(now.QuadPart) * 40503ull;
    const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = "vs";
    for (int i = 0; i < 6; ++i) {
        name += digits[seed % 36];
        seed /= 36;
    }
    return name + ".tmp";
}

Status Failure(DWORD error, const std::string& path) {
    return Status::SystemError(static_cast<int>(error), Operation::Create, path);
}

} // namespace

Status ReadWholeFile(const std::string& path, std::string* data, bool* exists) {
    data->clear();
    *exists = false;
    Handle file(CreateFileW(win32::Widen(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Status::Ok();
        return Status::SystemError(static_cast<int>(error), Operation::Read, path);
    }
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr))
            return Status::LastSystemError(Operation::Read, path);
        if (n == 0)
            break;
        data->append(buffer, n);
    }
    *exists = true;
    return Status::Ok();
}

Status ReplaceWholeFile(const std::string& path, const std::string& data) {
    std::wstring wide = win32::Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    // A folder, or a file that may not be written, stays as it is.
    if (existed && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return Failure(ERROR_ACCESS_DENIED, path);
    // The file keeps its name as the folder holds it, whatever the spelling of path
    // (letter case, a short name): the new file is renamed to that name.
    WIN32_FIND_DATAW found;
    HANDLE search = existed ? FindFirstFileW(wide.c_str(), &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        const size_t slash = wide.find_last_of(L"\\/:");
        wide = (slash == std::wstring::npos ? std::wstring() : wide.substr(0, slash + 1)) +
               found.cFileName;
    }

    const std::string folder = SourceFolderPart(path);
    std::wstring temporary;
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && opened == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = win32::Widen(folder + TemporaryName());
        opened = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (opened == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS &&
            error != ERROR_ALREADY_EXISTS)
            break;
    }
    if (opened == INVALID_HANDLE_VALUE)
        return Failure(error, path);
    Handle file(opened);
    bool ok = true;
    size_t done = 0;
    while (ok && done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(file.Get(), data.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file.Get());
    ok = ok && file.Close();
    ok = ok && MoveFileExW(temporary.c_str(), wide.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        error = GetLastError();
        file.Close();
        DeleteFileW(temporary.c_str());
        return Failure(error, path);
    }
    // A hidden or system project file stays so.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (existed && (attributes & kept))
        SetFileAttributesW(wide.c_str(), attributes & (kept | FILE_ATTRIBUTE_ARCHIVE));
    return Status::Ok();
}

} // namespace platform

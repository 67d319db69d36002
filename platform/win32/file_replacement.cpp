// Win32 implementation of platform/file_replacement.h: a working file open without leave
// to delete it, put in place with MoveFileEx.
#include "platform/file_replacement.h"

#include <windows.h>

#include <algorithm>

#include "platform/source_path.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Working files of the file named name in folder whose writers have ended. A live
// writer keeps its file open without sharing its deletion, so the deletion fails there.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(win32::Widen(folder + name + ".~vs*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string entry = win32::Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsWorkingFileName(entry, name))
            DeleteFileW(win32::Widen(folder + entry).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

unsigned long long Entropy() {
    LARGE_INTEGER now;
    unsigned long long value =
        (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount();
    if (QueryPerformanceCounter(&now))
        value ^= static_cast<unsigned long long>(now.QuadPart) * 40503ull;
    return value;
}

} // namespace

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (handle_ == kNone)
        return;
    CloseHandle(AsHandle(handle_));
    handle_ = kNone;
    if (!committed_)
        DeleteFileW(win32::Widen(working_).c_str());
}

Status FileReplacement::WriteFailure() const {
    return Status::LastSystemError(Operation::Create, target_);
}

Status FileReplacement::Begin(const std::string& target) {
    Discard();
    committed_ = false;
    target_ = target;
    replaced_ = target;
    const std::wstring wide = win32::Widen(target);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return Status::SystemError(ERROR_ACCESS_DENIED, Operation::Create, target);
    if (existed) {
        // A file that cannot be written now (a running program, a file another program
        // holds) could not be replaced at the end either: found out before any work.
        HANDLE probe = CreateFileW(wide.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return Status::LastSystemError(Operation::Create, target);
        CloseHandle(probe);
        // The file keeps the name the folder holds it by, whatever the spelling of target.
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(wide.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            replaced_ = SourceFolderPart(target) + win32::Narrow(found.cFileName);
        }
    }
    const std::string folder = SourceFolderPart(replaced_);
    const std::string name = SourceFileName(replaced_);
    RemoveLeftovers(folder, name);
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && opened == INVALID_HANDLE_VALUE; ++attempt) {
        working_ = folder + WorkingFileName(name, UniqueLetters(Entropy()));
        opened = CreateFileW(win32::Widen(working_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                             nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (opened == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS &&
            error != ERROR_ALREADY_EXISTS)
            break;
    }
    if (opened == INVALID_HANDLE_VALUE)
        return Status::SystemError(static_cast<int>(error), Operation::Create, target);
    handle_ = reinterpret_cast<std::intptr_t>(opened);
    return Status::Ok();
}

Status FileReplacement::Append(const char* data, std::size_t size) {
    if (handle_ == kNone)
        return Status::SystemError(ERROR_INVALID_HANDLE, Operation::Create, target_);
    std::size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), data + done, chunk, &written, nullptr))
            return WriteFailure();
        if (written == 0)
            return Status::SystemError(ERROR_DISK_FULL, Operation::Create, target_);
        done += written;
    }
    return Status::Ok();
}

Status FileReplacement::AppendFile(const std::string& source) {
    HANDLE file =
        CreateFileW(win32::Widen(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Status::LastSystemError(Operation::Read, source);
    char buffer[65536];
    Status status = Status::Ok();
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            status = Status::LastSystemError(Operation::Read, source);
            break;
        }
        if (n == 0)
            break;
        status = Append(buffer, n);
        if (!status)
            break;
    }
    CloseHandle(file);
    return status;
}

Status FileReplacement::Commit() {
    if (handle_ == kNone)
        return Status::SystemError(ERROR_INVALID_HANDLE, Operation::Create, target_);
    if (!FlushFileBuffers(AsHandle(handle_))) {
        Status failure = WriteFailure();
        Discard();
        return failure;
    }
    CloseHandle(AsHandle(handle_));
    handle_ = kNone;
    if (!MoveFileExW(win32::Widen(working_).c_str(), win32::Widen(replaced_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Status failure = WriteFailure();
        DeleteFileW(win32::Widen(working_).c_str());
        return failure;
    }
    committed_ = true;
    return Status::Ok();
}

} // namespace platform

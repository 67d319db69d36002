// Win32 implementation of platform/file_replacement.h: a working file open without leave
// to delete it, put in place with MoveFileEx.
#include "platform/file_replacement.h"

#include <windows.h>

#include "platform/source_path.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

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
    if (!file_.IsOpen())
        return;
    IgnoreFailure(file_.Close());
    if (!committed_)
        DeleteFileW(win32::Widen(working_).c_str());
}

Status FileReplacement::Begin(const std::string& target) {
    Discard();
    committed_ = false;
    target_ = target;
    replaced_ = target;
    kept_ = 0;
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
        // A hidden or system file stays so.
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            kept_ = attributes &
                    (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
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
    Status opened = Status::Ok();
    for (int attempt = 0; attempt < 100; ++attempt) {
        working_ = folder + WorkingFileName(name, UniqueLetters(Entropy()));
        opened = file_.Open(working_, FileWriter::Creation::NewOnly, target);
        if (opened || (opened.systemError != ERROR_FILE_EXISTS &&
                       opened.systemError != ERROR_ALREADY_EXISTS))
            break;
    }
    return opened;
}

Status FileReplacement::Commit() {
    if (!file_.IsOpen())
        return Status::SystemError(ERROR_INVALID_HANDLE, Operation::Create, target_);
    Status placed = file_.Flush();
    if (placed)
        placed = file_.Close();
    if (placed && !MoveFileExW(win32::Widen(working_).c_str(), win32::Widen(replaced_).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        placed = Status::LastSystemError(Operation::Create, target_);
    if (!placed) {
        IgnoreFailure(file_.Close());
        DeleteFileW(win32::Widen(working_).c_str());
        return placed;
    }
    committed_ = true;
    if (kept_ != 0)
        SetFileAttributesW(win32::Widen(replaced_).c_str(), kept_);
    return Status::Ok();
}

} // namespace platform

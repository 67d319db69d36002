// Win32 implementation of platform/file_writer.h: a handle written with WriteFile.
#include "platform/file_writer.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

FileWriter::~FileWriter() {
    if (handle_ != kNone)
        CloseHandle(AsHandle(handle_));
}

Status FileWriter::Failure() const {
    return Status::LastSystemError(Operation::Create, subject_);
}

Status FileWriter::Open(const std::string& path, Creation creation, const std::string& subject) {
    IgnoreFailure(Close());
    subject_ = subject.empty() ? path : subject;
    // Others may read it while it is written, never delete it: a writer that lives
    // keeps its file.
    HANDLE opened = CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr,
                                creation == Creation::NewOnly ? CREATE_NEW : CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return Failure();
    handle_ = reinterpret_cast<std::intptr_t>(opened);
    return Status::Ok();
}

Status FileWriter::Append(const char* data, std::size_t size) {
    if (handle_ == kNone)
        return Status::SystemError(ERROR_INVALID_HANDLE, Operation::Create, subject_);
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), data + done, chunk, &written, nullptr))
            return Failure();
        if (written == 0)
            return Status::SystemError(ERROR_DISK_FULL, Operation::Create, subject_);
        done += written;
    }
    return Status::Ok();
}

Status FileWriter::AppendFile(const std::string& source) {
    HANDLE file =
        CreateFileW(win32::Widen(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Status::LastSystemError(Operation::Read, source);
    char buffer[65536];
    Status status = Status::Ok();
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr))
            status = Status::LastSystemError(Operation::Read, source);
        if (!status || n == 0)
            break;
        status = Append(buffer, n);
        if (!status)
            break;
    }
    CloseHandle(file);
    return status;
}

Status FileWriter::Flush() {
    if (handle_ == kNone)
        return Status::SystemError(ERROR_INVALID_HANDLE, Operation::Create, subject_);
    return FlushFileBuffers(AsHandle(handle_)) ? Status::Ok() : Failure();
}

Status FileWriter::Close() {
    if (handle_ == kNone)
        return Status::Ok();
    HANDLE handle = AsHandle(handle_);
    handle_ = kNone;
    return CloseHandle(handle) ? Status::Ok() : Failure();
}

} // namespace platform

// Win32: whole files read at once.
#include "platform/whole_file.h"

#include <windows.h>

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

  private:
    HANDLE handle_;
};

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

} // namespace platform

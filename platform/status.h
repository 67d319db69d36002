// The result of a platform operation: success, or a text saying what failed.
#ifndef VELASET_PLATFORM_STATUS_H
#define VELASET_PLATFORM_STATUS_H

#include <string>
#include <utility>

namespace platform {

struct Status {
    bool ok = true;
    std::string message; // operation, path and the system's text when !ok

    static Status Ok() { return Status(); }
    static Status Failed(std::string text) {
        Status s;
        s.ok = false;
        s.message = std::move(text);
        return s;
    }
    explicit operator bool() const { return ok; }
};

// The system's description of the last error of the calling thread
// (errno on POSIX, GetLastError on Windows), without a trailing line end.
std::string LastSystemErrorText();

} // namespace platform

#endif

// The parts of Status that are the same on every platform.
#include "platform/status.h"

namespace platform {

Status Status::SystemError(int code, Operation operation, std::string subject) {
    Status s;
    s.ok = false;
    s.kind = KindOfSystemError(code);
    s.operation = operation;
    s.systemError = code;
    s.subject = std::move(subject);
    s.message = SystemErrorText(code);
    return s;
}

Status Status::LastSystemError(Operation operation, std::string subject) {
    return SystemError(LastSystemErrorCode(), operation, std::move(subject));
}

std::string LastSystemErrorText() {
    return SystemErrorText(LastSystemErrorCode());
}

} // namespace platform

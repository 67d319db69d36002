// POSIX: a message box is one line on standard error.
#include "platform/message_box.h"

namespace platform {

MessageAnswer ShowSystemMessageBox(const MessageBoxCall& call) {
    return MessageBoxToStandardError(call);
}

} // namespace platform

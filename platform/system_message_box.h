// Inside the platform layer: the per-platform display of one message box, used when
// no handler is installed.
#ifndef VELASET_PLATFORM_SYSTEM_MESSAGE_BOX_H
#define VELASET_PLATFORM_SYSTEM_MESSAGE_BOX_H

#include "platform/message_box.h"

namespace platform {

MessageAnswer ShowSystemMessageBox(const MessageBoxCall& call);

} // namespace platform

#endif

// Win32: message boxes through MessageBoxW.
#include "platform/message_box.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

MessageAnswer ShowSystemMessageBox(const MessageBoxCall& call) {
    UINT style = call.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (call.icon) {
    case MessageIcon::Exclamation:
        style |= MB_ICONEXCLAMATION;
        break;
    case MessageIcon::Stop:
        style |= MB_ICONSTOP;
        break;
    case MessageIcon::Question:
        style |= MB_ICONQUESTION;
        break;
    case MessageIcon::Information:
        style |= MB_ICONINFORMATION;
        break;
    }
    int answer = MessageBoxW(GetActiveWindow(), win32::Widen(call.text).c_str(),
                             win32::Widen(call.title).c_str(), style);
    if (answer == IDYES)
        return MessageAnswer::Yes;
    if (answer == IDNO)
        return MessageAnswer::No;
    return MessageAnswer::Ok;
}

} // namespace platform

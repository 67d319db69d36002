// Message boxes: the handler seam shared by both platforms.
#include "platform/message_box.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {

MessageBoxHandler& CurrentHandler() {
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) {
    MessageBoxCall call{title, text, icon, buttons};
    if (CurrentHandler())
        return CurrentHandler()(call);
    return ShowSystemMessageBox(call);
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(MessageBoxHandler handler)
    : previous_(std::move(CurrentHandler())) {
    CurrentHandler() = std::move(handler);
}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler() {
    CurrentHandler() = std::move(previous_);
}

std::string MessageBoxLine(const std::string& title, const std::string& text) {
    std::string line = title + ": ";
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (line.back() != ' ')
                line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

MessageAnswer MessageBoxToStream(const MessageBoxCall& call, std::FILE* stream) {
    std::fprintf(stream, "%s\n", MessageBoxLine(call.title, call.text).c_str());
    return call.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

MessageAnswer MessageBoxToStandardError(const MessageBoxCall& call) {
    return MessageBoxToStream(call, stderr);
}

MessageBoxRecorder::MessageBoxRecorder(MessageAnswer questionAnswer)
    : scope_([this, questionAnswer](const MessageBoxCall& call) {
          calls_.push_back(call);
          return call.buttons == MessageButtons::YesNo ? questionAnswer : MessageAnswer::Ok;
      }) {}

} // namespace platform

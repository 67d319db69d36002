// Message boxes: title, text, icon, buttons -> the answer. On POSIX a box is one line
// on standard error and a question takes its default answer. Tests and the command
// line swap in a handler of their own.
#ifndef VELASET_PLATFORM_MESSAGE_BOX_H
#define VELASET_PLATFORM_MESSAGE_BOX_H

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { Exclamation, Stop, Question, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageBoxCall {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

// Shows one box (or hands it to the installed handler) and returns the answer.
MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok);

using MessageBoxHandler = std::function<MessageAnswer(const MessageBoxCall&)>;

// Installs handler for the lifetime of the object, then restores the previous one.
class ScopedMessageBoxHandler {
  public:
    explicit ScopedMessageBoxHandler(MessageBoxHandler handler);
    ~ScopedMessageBoxHandler();
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

  private:
    MessageBoxHandler previous_;
};

// A box as one line of text: "TITLE: TEXT", each run of line breaks a blank.
std::string MessageBoxLine(const std::string& title, const std::string& text);

// Writes MessageBoxLine of the box to stream; a question is answered with its default,
// Yes. MessageBoxToStandardError writes to standard error.
MessageAnswer MessageBoxToStream(const MessageBoxCall& call, std::FILE* stream);
MessageAnswer MessageBoxToStandardError(const MessageBoxCall& call);

// The platform's own display of one box, used when no handler is installed: a Windows
// message box, or the line on standard error of the POSIX layer.
MessageAnswer ShowSystemMessageBox(const MessageBoxCall& call);

// Records every box and answers with a fixed answer (Ok for an Ok box).
class MessageBoxRecorder {
  public:
    explicit MessageBoxRecorder(MessageAnswer questionAnswer = MessageAnswer::Yes);
    const std::vector<MessageBoxCall>& Calls() const { return calls_; }

  private:
    std::vector<MessageBoxCall> calls_;
    ScopedMessageBoxHandler scope_;
};

} // namespace platform

#endif

// POSIX: programs started through the shell, the editor from $VISUAL / $EDITOR.
#include "platform/process.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

Status RunAndWait(const std::string& commandLine, int* exitCode) {
    int status = std::system(commandLine.c_str());
    if (status == -1)
        return Status::LastSystemError(Operation::Start, commandLine);
    if (WIFEXITED(status)) {
        *exitCode = WEXITSTATUS(status);
        if (*exitCode == 127)
            return Status::Failed("comando non trovato", ErrorKind::NotFound, Operation::Start,
                                  commandLine);
        return Status::Ok();
    }
    *exitCode = -1;
    return Status::Failed("", ErrorKind::Abnormal, Operation::Start, commandLine);
}

Status EditTextFileAndWait(const std::string& path) {
    const char* editor = std::getenv("VISUAL");
    if (editor == nullptr || *editor == '\0')
        editor = std::getenv("EDITOR");
    if (editor == nullptr || *editor == '\0')
        editor = "vi";
    int exitCode = 0;
    const std::string command = std::string(editor) + " " + ShellQuoted(path);
    Status ran = RunAndWait(command, &exitCode);
    if (ran && exitCode != 0)
        return ExitedWith(exitCode, command);
    return ran;
}

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

} // namespace platform

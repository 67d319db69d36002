// POSIX: programs started through the shell, the editor from $VISUAL / $EDITOR.
#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/source_path.h"

extern char** environ;

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

Status RunProgram(const std::vector<std::string>& arguments, int* exitCode) {
    if (arguments.empty())
        return Status::Failed("", ErrorKind::NotFound, Operation::Start, "");
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // The standard output goes to the null device; a session of its own leaves the
    // program without a terminal, so that it cannot stop the build to ask for anything.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child;
    int failed = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return Status::SystemError(failed, Operation::Start, arguments[0]);
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
        if (errno != EINTR)
            return Status::LastSystemError(Operation::Start, arguments[0]);
    }
    if (!WIFEXITED(status)) {
        *exitCode = -1;
        return Status::Failed("", ErrorKind::Abnormal, Operation::Start, arguments[0]);
    }
    *exitCode = WEXITSTATUS(status);
    return Status::Ok();
}

std::string FindProgram(const std::string& name) {
    auto runnable = [](const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
               access(path.c_str(), X_OK) == 0;
    };
    if (name.find('/') != std::string::npos)
        return runnable(name) ? name : "";
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        std::size_t colon = folders.find(':', start);
        std::string folder = folders.substr(start, colon - start);
        std::string candidate = JoinSourcePath(folder.empty() ? "." : folder, name);
        if (runnable(candidate))
            return candidate;
        if (colon == std::string::npos)
            return "";
        start = colon + 1;
    }
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

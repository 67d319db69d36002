// Win32: CreateProcess and the waits for the started program.
#include "platform/process.h"

#include <vector>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Starts a command line; with output, the program writes its standard output there
// (an inheritable handle) and shares the caller's input and error streams.
Status Start(const std::string& commandLine, PROCESS_INFORMATION* process,
             HANDLE output = nullptr) {
    std::wstring wide = win32::Widen(commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        nullptr, &startup, process))
        return Status::LastSystemError(Operation::Start, commandLine);
    return Status::Ok();
}

// Waits for a started program to end and lets its handles go.
Status WaitForExit(const PROCESS_INFORMATION& process, int* exitCode) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *exitCode = static_cast<int>(code);
    return Status::Ok();
}

} // namespace

Status RunAndWait(const std::string& commandLine, int* exitCode) {
    PROCESS_INFORMATION process;
    Status started = Start(commandLine, &process);
    if (!started)
        return started;
    return WaitForExit(process, exitCode);
}

namespace {

// One argument as the C runtime's command-line parser gives it back: in quotes when it
// is empty or holds blanks or quotes; a quote escaped with a backslash, and the
// backslashes before a quote or before the closing quote doubled.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

} // namespace

Status RunProgram(const std::vector<std::string>& arguments, int* exitCode) {
    if (arguments.empty())
        return Status::Failed("", ErrorKind::NotFound, Operation::Start, "");
    std::string line;
    for (const std::string& argument : arguments)
        line += (line.empty() ? "" : " ") + Quoted(argument);
    // The standard output goes to the null device.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, OPEN_EXISTING, 0, nullptr);
    if (nothing == INVALID_HANDLE_VALUE)
        return Status::LastSystemError(Operation::Start, arguments[0]);
    PROCESS_INFORMATION process;
    Status started = Start(line, &process, nothing);
    CloseHandle(nothing);
    if (!started) {
        started.subject = arguments[0];
        return started;
    }
    return WaitForExit(process, exitCode);
}

std::string FindProgram(const std::string& name) {
    std::wstring wide = win32::Widen(name);
    wchar_t found[MAX_PATH];
    DWORD length = SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return "";
    DWORD attributes = GetFileAttributesW(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "";
    return win32::Narrow(found);
}

Status EditTextFileAndWait(const std::string& path) {
    const std::string command = "notepad.exe \"" + path + "\"";
    PROCESS_INFORMATION process;
    Status started = Start(command, &process);
    if (!started)
        return started;
    // Keep handling window messages so that the builder's window stays responsive.
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (code != 0)
        return ExitedWith(static_cast<int>(code), command);
    return Status::Ok();
}

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

} // namespace platform

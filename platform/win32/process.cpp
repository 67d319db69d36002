// Win32: CreateProcess and the waits for the started program.
#include "platform/process.h"

#include <vector>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

Status Start(const std::string& commandLine, PROCESS_INFORMATION* process) {
    std::wstring wide = win32::Widen(commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, process))
        return Status::LastSystemError(Operation::Start, commandLine);
    return Status::Ok();
}

} // namespace

Status RunAndWait(const std::string& commandLine, int* exitCode) {
    PROCESS_INFORMATION process;
    Status started = Start(commandLine, &process);
    if (!started)
        return started;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *exitCode = static_cast<int>(code);
    return Status::Ok();
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

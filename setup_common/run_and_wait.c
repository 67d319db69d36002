/* Starting a program and waiting for it. */
#include <windows.h>

#include "setup_common/run_and_wait.h"

int RunAndWait(const char* command_line, int show) {
    static char line[2048];
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
    lstrcpynA(line, command_line, sizeof line); /* CreateProcessA may write into it */
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL, &startup,
                        &process))
        return 0;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

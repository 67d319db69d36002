// Win32 implementation of platform/interrupt.h: the console's control events set a flag.
#include "platform/interrupt.h"

#include <windows.h>

namespace platform {
namespace {

volatile LONG g_event = -1;

// Runs on a thread of its own. Ctrl-C and Ctrl-Break are taken: the program goes on to
// its next check. For a closing console, a log-off or a shut-down the system ends the
// program when this returns, so it waits a little for the work to clean up first.
BOOL WINAPI Caught(DWORD event) {
    if (InterlockedCompareExchange(&g_event, static_cast<LONG>(event), -1) != -1 &&
        (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT))
        return FALSE; // a second Ctrl-C: the default, which ends the program at once
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        Sleep(4000);
    return TRUE;
}

} // namespace

ScopedInterruptCatcher::ScopedInterruptCatcher() {
    g_event = -1;
    SetConsoleCtrlHandler(Caught, TRUE);
}

ScopedInterruptCatcher::~ScopedInterruptCatcher() {
    SetConsoleCtrlHandler(Caught, FALSE);
}

bool InterruptRequested() {
    return g_event != -1;
}

int InterruptExitCode() {
    return g_event == CTRL_C_EVENT || g_event == CTRL_BREAK_EVENT ? 130 : 143;
}

} // namespace platform

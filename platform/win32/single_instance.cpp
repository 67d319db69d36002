// Win32: one running copy through a named mutex; the hourglass pointer.
#include "platform/single_instance.h"

#include <windows.h>

namespace platform {

bool ClaimSingleInstance(const std::string& name) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    return true; // the handle stays open until the process ends
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() {
    SetCursor(static_cast<HCURSOR>(previous_));
}

} // namespace platform

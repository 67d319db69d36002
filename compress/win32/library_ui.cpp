// Message boxes and wait cursor of the Windows build.
#include <windows.h>

#include "compress/library_ui.h"

namespace velaset::compress {

void ShowPlatformMessage(const char* title, const char* text) {
    MessageBoxA(nullptr, text, title, MB_OK);
}

void* BeginWaitCursor() {
    return SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndWaitCursor(void* saved) {
    SetCursor(static_cast<HCURSOR>(saved));
}

} // namespace velaset::compress

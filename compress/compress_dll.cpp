// Compress.dll: its two exports, Comprimi and ComprimiConAvanzamento (Comprimi with a
// progress callback), are named undecorated in Compress.def.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

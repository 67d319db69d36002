/* A library with one rundll32 entry, for the tests of starting an entry
 * again: "Annota FILE TEXT" writes its whole argument text into FILE, the
 * text up to the first blank. */
#include <windows.h>

void CALLBACK Annota(HWND window, HINSTANCE instance, LPSTR arguments, int show) {
    char path[MAX_PATH];
    int length = 0;
    DWORD written;
    HANDLE file;
    (void)window, (void)instance, (void)show;
    while (arguments[length] && arguments[length] != ' ' && length < MAX_PATH - 1) {
        path[length] = arguments[length];
        length++;
    }
    path[length] = 0;
    file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    WriteFile(file, arguments, (DWORD)lstrlenA(arguments), &written, NULL);
    CloseHandle(file);
}

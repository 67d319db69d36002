/* The program that the end-to-end packages start at the end of their
 * installation: it writes its own path into C:\<its name>_avviato.txt. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    char own[MAX_PATH], marker[MAX_PATH], *name, *dot;
    HANDLE file;
    DWORD written;
    (void)instance, (void)previous, (void)command_line, (void)show;
    GetModuleFileNameA(NULL, own, MAX_PATH);
    name = own;
    for (dot = own; *dot; dot++)
        if (*dot == '\\')
            name = dot + 1;
    lstrcpyA(marker, "C:\\");
    lstrcatA(marker, name);
    dot = marker + lstrlenA(marker) - 4;
    lstrcpyA(dot, "_avviato.txt");
    file = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    WriteFile(file, own, (DWORD)lstrlenA(own), &written, NULL);
    CloseHandle(file);
    return 0;
}

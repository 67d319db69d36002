/* The rights of the uninstall (see elevation.h). */
#include "elevation.h"

#include <shellapi.h>

#include "setup_common/text.h"

int CanChange(const char* folder, HKEY root, const char* key) {
    char probe[MAX_PATH];
    HKEY opened;
    if (!GetTempFileNameA(folder, "avv", 0, probe))
        return 0;
    DeleteFileA(probe);
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &opened) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(opened);
    return 1;
}

int IsElevated(void) {
    HANDLE token;
    TOKEN_ELEVATION elevation;
    DWORD size;
    int elevated = 1;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size))
            elevated = elevation.TokenIsElevated != 0;
        CloseHandle(token);
    }
    return elevated;
}

int RunElevated(HWND owner, HINSTANCE library, const char* entry, const char* arguments) {
    /* rundll32 C:\...\library.dll,entry arguments: both programs by their
     * full paths, so that no other copy runs with an administrator's rights;
     * the library by its short path, as rundll32 does not take it in quotes
     * everywhere. */
    static char program[MAX_PATH], parameters[3 * MAX_PATH + 64];
    SHELLEXECUTEINFOA run;
    GetSystemDirectoryA(program, MAX_PATH);
    TextAppend(program, sizeof program, "\\rundll32.exe");
    GetModuleFileNameA(library, parameters, MAX_PATH);
    GetShortPathNameA(parameters, parameters, MAX_PATH);
    TextAppend(parameters, sizeof parameters, ",");
    TextAppend(parameters, sizeof parameters, entry);
    TextAppend(parameters, sizeof parameters, " ");
    TextAppend(parameters, sizeof parameters, arguments);
    ZeroMemory(&run, sizeof run);
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.hwnd = owner;
    run.lpVerb = "runas";
    run.lpFile = program;
    run.lpParameters = parameters;
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run) || !run.hProcess)
        return 0;
    WaitForSingleObject(run.hProcess, INFINITE);
    CloseHandle(run.hProcess);
    return 1;
}

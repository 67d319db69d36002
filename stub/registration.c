/* Registers the self-registering libraries of the script with regsvr32. */
#include "avviora.h"
#include "resources/resource.h"
#include "setup_common/text.h"

#include <commctrl.h>

static void RegisterOne(const char* folder, const char* name, HWND bar) {
    char command[2 * MAX_PATH + 16];
    wsprintfA(command, "regsvr32 /s \"%s\\%s\"", folder, name);
    Sleep(500);
    RunAndWait(command, SW_HIDE);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
}

void RegisterLibraries(void) {
    char system_folder[MAX_PATH];
    int i, total = g_avviora.libraries_p.count + g_avviora.libraries_s.count;
    HWND progress = CreateProgressDialog((DWORD)total + 1);
    HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
    SetDlgItemTextA(progress, IDC_PROGRESS_TEXT,
                    "Registrazione delle librerie. Attendere prego...");
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    for (i = 0; i < g_avviora.libraries_p.count; i++)
        RegisterOne(g_avviora.install_folder, g_avviora.libraries_p.names[i], bar);
    for (i = 0; i < g_avviora.libraries_s.count; i++) {
        GetSystemDirectoryA(system_folder, MAX_PATH);
        RegisterOne(system_folder, g_avviora.libraries_s.names[i], bar);
    }
    Sleep(500);
    DestroyWindow(progress);
}

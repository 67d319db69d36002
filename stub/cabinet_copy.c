/* Copies the cabinet that follows the stub image out of the setup executable. */
#include "avviora.h"
#include "common/constants.h"
#include "resources/resource.h"
#include "text.h"

#include <commctrl.h>

#define COPY_BUFFER_SIZE 65536

/* The cabinet starts behind this program's own image. */
#ifdef _WIN64
#define OWN_IMAGE_SIZE STUB64_IMAGE_SIZE
#else
#define OWN_IMAGE_SIZE STUB_IMAGE_SIZE
#endif

static const char kSetupProblem[] =
    "Il programma di setup ha riscontrato un problema e sar\340 terminato.";

int CopyCabinet(void) {
    static char buffer[COPY_BUFFER_SIZE];
    char own_path[MAX_PATH];
    HANDLE own, cabinet;
    HWND progress, bar;
    DWORD size, cabinet_size, got, written, copied = 0;
    GetModuleFileNameA(NULL, own_path, MAX_PATH);
    own = CreateFileA(own_path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    size = own == INVALID_HANDLE_VALUE ? 0 : GetFileSize(own, NULL);
    cabinet_size = size > OWN_IMAGE_SIZE ? size - OWN_IMAGE_SIZE : 0;
    progress = CreateProgressDialog(cabinet_size / 1000);
    bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
    if (own == INVALID_HANDLE_VALUE) {
        DestroyWindow(progress);
        ShowMessage(kSetupProblem, "Setup error", MB_ICONSTOP);
        return 0;
    }
    GetTempPathA(MAX_PATH, g_avviora.temp_folder);
    lstrcpynA(g_avviora.temp_cabinet, g_avviora.temp_folder, MAX_PATH);
    TextAppend(g_avviora.temp_cabinet, MAX_PATH, "setup~1.cab");
    cabinet = CreateFileA(g_avviora.temp_cabinet, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (cabinet == INVALID_HANDLE_VALUE) {
        CloseHandle(own);
        DestroyWindow(progress);
        ShowMessage(kSetupProblem, "Setup error", MB_ICONSTOP);
        return 0;
    }
    /* Large blocks; the bar moves one step per 1000 bytes copied. */
    SetFilePointer(own, OWN_IMAGE_SIZE, NULL, FILE_BEGIN);
    while (ReadFile(own, buffer, COPY_BUFFER_SIZE, &got, NULL) && got > 0) {
        if (!WriteFile(cabinet, buffer, got, &written, NULL) || written != got)
            break;
        copied += got;
        SendMessageA(bar, PBM_SETPOS, copied / 1000, 0);
    }
    CloseHandle(cabinet);
    CloseHandle(own);
    DestroyWindow(progress);
    if (copied < cabinet_size || !CabinetIsSound(g_avviora.temp_cabinet)) {
        /* A full disk must not leave a cut cabinet that would look complete,
         * and a damaged package must not install what it still holds. */
        DeleteFileA(g_avviora.temp_cabinet);
        ShowMessage(kSetupProblem, "Setup error", MB_ICONSTOP);
        return 0;
    }
    return 1;
}

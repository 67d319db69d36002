/* Copies the cabinet that follows the stub image out of the setup executable,
 * checking it on the way (package_check.c): exactly the cabinet's own size,
 * every data block with its checksum, and behind it nothing but what code
 * signing adds. */
#include "avviora.h"
#include "common/constants.h"
#include "resources/resource.h"
#include "setup_common/text.h"

#include <commctrl.h>

/* The cabinet starts behind this program's own image. */
#ifdef _WIN64
#define OWN_IMAGE_SIZE STUB64_IMAGE_SIZE
#else
#define OWN_IMAGE_SIZE STUB_IMAGE_SIZE
#endif

#define COPY_SIZE 65536

static const char kSetupProblem[] =
    "Il programma di setup ha riscontrato un problema e sar\340 terminato.";

/* A data block (at most 65535 bytes) behind its 8-byte header. */
static BYTE s_bytes[8 + COPY_SIZE];
static HANDLE s_own, s_copy;

/* Reads the next size bytes of the package into s_bytes + at and appends them
 * to the copy; 0 when the package has fewer or the copy cannot take them. */
static int Pass(DWORD at, DWORD size) {
    DWORD done;
    return ReadFile(s_own, s_bytes + at, size, &done, NULL) && done == size &&
           WriteFile(s_copy, s_bytes + at, size, &done, NULL) && done == size;
}

int CopyCabinet(void) {
    char own_path[MAX_PATH];
    HWND progress = NULL, bar;
    DWORD file_size, size = 0, first_block, at, n;
    int ok = 0;
    GetModuleFileNameA(NULL, own_path, MAX_PATH);
    s_own = CreateFileA(own_path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    GetTempPathA(MAX_PATH, g_avviora.temp_folder);
    TextJoin(g_avviora.temp_cabinet, MAX_PATH, g_avviora.temp_folder, "setup~1.cab");
    s_copy = CreateFileA(g_avviora.temp_cabinet, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (s_own != INVALID_HANDLE_VALUE && s_copy != INVALID_HANDLE_VALUE) {
        file_size = GetFileSize(s_own, NULL);
        SetFilePointer(s_own, OWN_IMAGE_SIZE, NULL, FILE_BEGIN);
        ok = file_size > OWN_IMAGE_SIZE && Pass(0, CABINET_HEAD) &&
             CabinetHeaderIsSound(s_bytes, file_size - OWN_IMAGE_SIZE);
        size = *(DWORD*)(s_bytes + 8);
        first_block = *(DWORD*)(s_bytes + 36);
        /* The bar moves one step per 1000 bytes copied. */
        progress = CreateProgressDialog(size / 1000);
        bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
        for (at = CABINET_HEAD; ok && at < first_block; at += n) {
            n = first_block - at < COPY_SIZE ? first_block - at : COPY_SIZE;
            ok = Pass(0, n);
        }
        while (ok && at < size) {
            ok = Pass(0, 8) && Pass(8, *(WORD*)(s_bytes + 4)) && BlockIsSound(s_bytes);
            at += 8 + *(WORD*)(s_bytes + 4);
            SendMessageA(bar, PBM_SETPOS, at / 1000, 0);
        }
        ok = ok && at == size && TailIsSound(s_own, OWN_IMAGE_SIZE + size, file_size);
    }
    CloseHandle(s_copy);
    CloseHandle(s_own);
    DestroyWindow(progress);
    if (!ok) {
        /* A full disk must not leave a cut cabinet that would look complete. */
        DeleteFileA(g_avviora.temp_cabinet);
        ShowMessage(kSetupProblem, "Setup error", MB_ICONSTOP);
    }
    return ok;
}

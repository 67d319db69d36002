/* The progress dialog (resource 110): cabinet copy and library registration. */
#include "avviora.h"
#include "resources/resource.h"

#include <commctrl.h>

static INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    (void)dialog, (void)w, (void)l;
    return message == WM_INITDIALOG;
}

HWND CreateProgressDialog(DWORD range) {
    HWND dialog, bar;
    if (g_avviora.silent)
        return NULL;
    InitCommonControls();
    dialog = CreateDialogParamA(g_avviora.instance, MAKEINTRESOURCEA(IDD_PROGRESS), NULL,
                                ProgressDialogProc, 0);
    if (!dialog)
        return NULL;
    ShowWindow(dialog, SW_SHOW);
    /* A 32-bit range, so that packages of any size show their true progress. */
    bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE32, 0, (LPARAM)range);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    UpdateWindow(dialog);
    return dialog;
}

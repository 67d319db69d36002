// frmAbout, "Informazioni su Velaset": the version, the help picture and the web link.
#include <windows.h>

#include <commctrl.h>

#include "builder/win32/dialogs.h"
#include "builder/win32/resource.h"
#include "builder/win32/text.h"
#include "builder/win32/wizard_window.h"
#include "builder/wizard/startup.h"
#include "platform/single_instance.h"

namespace win32ui {

namespace {

const wchar_t* const kWebPage = L"https://velaset.org/";
const int kVersionMajor = 3;
const int kVersionMinor = 1;
const int kVersionRevision = 1;

WizardWindow* g_wizard = nullptr;

void CloseAbout(HWND dialog) {
    DestroyWindow(dialog);
    g_wizard->ShowAgain();
}

void SetSunken(HWND picture, bool sunken) {
    LONG_PTR style = GetWindowLongPtrW(picture, GWL_STYLE);
    style = sunken ? (style | SS_SUNKEN) : (style & ~(LONG_PTR)SS_SUNKEN);
    SetWindowLongPtrW(picture, GWL_STYLE, style);
    SetWindowPos(picture, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    InvalidateRect(picture, nullptr, TRUE);
}

// imgHelp: sunken while the button is down, the help opens on release.
LRESULT CALLBACK HelpPictureProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    switch (message) {
    case WM_LBUTTONDOWN:
        SetSunken(picture, true);
        SetCapture(picture);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() == picture) {
            ReleaseCapture();
        }
        SetSunken(picture, false);
        HWND dialog = GetParent(picture);
        g_wizard->OpenHelp(dialog);
        CloseAbout(dialog);
        return 0;
    }
    default:
        return DefSubclassProc(picture, message, wParam, lParam);
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetItemText(dialog, IDC_ABOUT_VERSION,
                    velaset::AboutVersionText(kVersionMajor, kVersionMinor, kVersionRevision));
        SetWindowSubclass(GetDlgItem(dialog, IDC_ABOUT_HELP), HelpPictureProc, 1, 0);
        return TRUE;
    case WM_SETCURSOR: {
        // Both pictures show the pointer of a link.
        int id = GetDlgCtrlID((HWND)wParam);
        if (id == IDC_ABOUT_HELP || id == IDC_ABOUT_WEB) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            CloseAbout(dialog);
            return TRUE;
        case IDC_ABOUT_WEB:
            if (HIWORD(wParam) == STN_CLICKED) {
                CloseAbout(dialog);
                platform::WaitCursor wait;
                ShellExecuteW(nullptr, nullptr, kWebPage, nullptr, L"", SW_SHOWNORMAL);
            }
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

HWND ShowAboutBox(HINSTANCE instance, HWND wizard, WizardWindow* window) {
    g_wizard = window;
    HWND about = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), nullptr, AboutProc, 0);
    (void)wizard;
    ShowWindow(about, SW_SHOW);
    return about;
}

} // namespace win32ui

// The wizard's modal edit dialogs: each one moves text between its controls and the
// dialog class that holds its rules.
#include "builder/win32/dialogs.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "builder/dialogs/dest_dialog.h"
#include "builder/dialogs/keyreg_dialog.h"
#include "builder/dialogs/link_dialog.h"
#include "builder/dialogs/message_dialog.h"
#include "builder/win32/path_display.h"
#include "builder/win32/resource.h"
#include "builder/win32/text.h"
#include "platform/message_box.h"

namespace win32ui {

namespace {

void KeepOnTop(HWND dialog, bool onTop) {
    SetWindowPos(dialog, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Prepare(HWND dialog, HICON icon) {
    SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    KeepOnTop(dialog, true);
}

void FillCombo(HWND dialog, int id, const std::vector<std::string>& items, int selected) {
    HWND combo = GetDlgItem(dialog, id);
    FillComboItems(combo, items);
    SendMessageW(combo, CB_SETCURSEL, selected, 0);
}

int ComboSelection(HWND dialog, int id) {
    return (int)SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
}

// ---- frmDest -------------------------------------------------------------------------

struct DestContext {
    velaset::DestDialog* dialog;
    HICON icon;
};

void ShowDestCheck(HWND dialog, const velaset::DestDialog& d) {
    HWND check = GetDlgItem(dialog, IDC_DEST_REGISTRA);
    ShowWindow(check, d.CheckVisible() ? SW_SHOW : SW_HIDE);
    EnableWindow(check, d.CheckEnabled());
    CheckDlgButton(dialog, IDC_DEST_REGISTRA, d.CheckTicked() ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK DestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DestContext* context = (DestContext*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        context = (DestContext*)lParam;
        velaset::DestDialog& d = *context->dialog;
        Prepare(dialog, context->icon);
        ShowPath(nullptr, dialog, GetDlgItem(dialog, IDC_DEST_FILE), d.Path());
        FillCombo(dialog, IDC_DEST_CODE, velaset::DestDialog::DestinationTexts(),
                  d.SelectedIndex());
        ShowDestCheck(dialog, d);
        return TRUE;
    }
    case WM_COMMAND: {
        velaset::DestDialog& d = *context->dialog;
        switch (LOWORD(wParam)) {
        case IDC_DEST_CODE:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                d.Select(ComboSelection(dialog, IDC_DEST_CODE));
                ShowDestCheck(dialog, d);
            }
            return TRUE;
        case IDC_DEST_REGISTRA:
            d.SetTicked(IsDlgButtonChecked(dialog, IDC_DEST_REGISTRA) == BST_CHECKED);
            return TRUE;
        case IDOK:
            d.Ok();
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// ---- frmLink -------------------------------------------------------------------------

struct LinkContext {
    velaset::LinkDialog* dialog;
    HICON icon;
};

INT_PTR CALLBACK LinkProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LinkContext* context = (LinkContext*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        context = (LinkContext*)lParam;
        velaset::LinkDialog& d = *context->dialog;
        Prepare(dialog, context->icon);
        SetWindowTextUtf8(dialog, d.Caption());
        FillCombo(dialog, IDC_LINK_FILE, d.FileChoices(), d.SelectedFile());
        SetItemText(dialog, IDC_LINK_NAME, d.Name());
        FillCombo(dialog, IDC_LINK_WHERE, velaset::LinkDialog::DestinationTexts(),
                  d.SelectedDestination());
        return TRUE;
    }
    case WM_COMMAND: {
        velaset::LinkDialog& d = *context->dialog;
        int code = HIWORD(wParam);
        switch (LOWORD(wParam)) {
        case IDC_LINK_FILE:
            if (code == CBN_SELCHANGE) {
                d.ChooseFile(ComboSelection(dialog, IDC_LINK_FILE));
                SetItemText(dialog, IDC_LINK_NAME, d.Name());
            }
            return TRUE;
        case IDC_LINK_NAME:
            if (code == EN_CHANGE) {
                d.SetName(ItemText(dialog, IDC_LINK_NAME));
            } else if (code == EN_SETFOCUS) {
                PostMessageW((HWND)lParam, EM_SETSEL, 0, -1);
            }
            return TRUE;
        case IDC_LINK_WHERE:
            if (code == CBN_SELCHANGE) {
                d.ChooseDestination(ComboSelection(dialog, IDC_LINK_WHERE));
            }
            return TRUE;
        case IDC_LINK_SALVA:
        case IDOK: {
            velaset::DialogResult result = d.Save();
            if (!result.message.empty()) {
                RefuseOnTop(dialog, result.message);
            }
            if (result.closed) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        case IDC_LINK_ANNULLA:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// ---- frmKeyreg -----------------------------------------------------------------------

struct KeyregContext {
    velaset::KeyregDialog* dialog;
    HICON icon;
    bool filling;
};

void ShowKeyName(HWND dialog, const velaset::KeyregDialog& d) {
    CheckRadioButton(dialog, IDC_KEY_DEFAULT_NAME, IDC_KEY_CUSTOM_NAME,
                     d.CustomName() ? IDC_KEY_CUSTOM_NAME : IDC_KEY_DEFAULT_NAME);
    SendDlgItemMessageW(dialog, IDC_KEY_NAME, EM_SETREADONLY, d.NameEditable() ? FALSE : TRUE, 0);
    SetItemText(dialog, IDC_KEY_NAME, d.Name());
}

INT_PTR CALLBACK KeyregProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    KeyregContext* context = (KeyregContext*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        context = (KeyregContext*)lParam;
        velaset::KeyregDialog& d = *context->dialog;
        context->filling = true;
        Prepare(dialog, context->icon);
        SetWindowTextUtf8(dialog, d.Caption());
        FillCombo(dialog, IDC_KEY_ROOT, velaset::KeyregDialog::RootTexts(), d.Root());
        SetItemText(dialog, IDC_KEY_SUBKEY, d.Subkey());
        ShowKeyName(dialog, d);
        SetItemText(dialog, IDC_KEY_VALUE, d.Value());
        context->filling = false;
        return TRUE;
    }
    case WM_COMMAND: {
        velaset::KeyregDialog& d = *context->dialog;
        int code = HIWORD(wParam);
        int id = LOWORD(wParam);
        if (context->filling) {
            return FALSE;
        }
        if (code == EN_SETFOCUS) {
            PostMessageW((HWND)lParam, EM_SETSEL, 0, -1);
            return TRUE;
        }
        switch (id) {
        case IDC_KEY_ROOT:
            if (code == CBN_SELCHANGE) {
                d.ChooseRoot(ComboSelection(dialog, IDC_KEY_ROOT));
            }
            return TRUE;
        case IDC_KEY_SUBKEY:
            if (code == EN_CHANGE) {
                d.SetSubkey(ItemText(dialog, id));
            }
            return TRUE;
        case IDC_KEY_NAME:
            if (code == EN_CHANGE) {
                d.SetName(ItemText(dialog, id));
            }
            return TRUE;
        case IDC_KEY_VALUE:
            if (code == EN_CHANGE) {
                d.SetValue(ItemText(dialog, id));
            }
            return TRUE;
        case IDC_KEY_DEFAULT_NAME:
        case IDC_KEY_CUSTOM_NAME:
            if (code == BN_CLICKED) {
                context->filling = true;
                if (id == IDC_KEY_CUSTOM_NAME) {
                    d.ChooseCustomName();
                } else {
                    d.ChooseDefaultName();
                }
                ShowKeyName(dialog, d);
                context->filling = false;
                if (id == IDC_KEY_CUSTOM_NAME) {
                    SetFocus(GetDlgItem(dialog, IDC_KEY_NAME));
                }
            }
            return TRUE;
        case IDOK: {
            velaset::KeyregDialog::Result result = d.Ok();
            if (!result.message.empty()) {
                RefuseOnTop(dialog, result.message);
                int focus = result.focus == velaset::KeyregDialog::Field::Subkey ? IDC_KEY_SUBKEY
                            : result.focus == velaset::KeyregDialog::Field::Name ? IDC_KEY_NAME
                                                                                 : IDC_KEY_VALUE;
                SetFocus(GetDlgItem(dialog, focus));
            }
            if (result.closed) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// ---- frmMessage ----------------------------------------------------------------------

struct MessageContext {
    velaset::MessageDialog* dialog;
    HICON icon;
};

const int kMessageBoxes[velaset::MessageDialog::BoxCount] = {IDC_MSG_ERRORE, IDC_MSG_STOP,
                                                             IDC_MSG_BROWSE, IDC_MSG_DISINSTALLA};

INT_PTR CALLBACK MessageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageContext* context = (MessageContext*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        context = (MessageContext*)lParam;
        velaset::MessageDialog& d = *context->dialog;
        Prepare(dialog, context->icon);
        for (int i = 0; i < velaset::MessageDialog::BoxCount; ++i) {
            velaset::MessageDialog::Box box = (velaset::MessageDialog::Box)i;
            SetItemText(dialog, kMessageBoxes[i], d.Text(box));
            EnableWindow(GetDlgItem(dialog, kMessageBoxes[i]), d.Enabled(box));
        }
        EnableWindow(GetDlgItem(dialog, IDC_MSG_DISINSTALLA_LABEL),
                     d.Enabled(velaset::MessageDialog::Disinstalla));
        return TRUE;
    }
    case WM_COMMAND: {
        velaset::MessageDialog& d = *context->dialog;
        if (HIWORD(wParam) == EN_SETFOCUS) {
            PostMessageW((HWND)lParam, EM_SETSEL, 0, -1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            for (int i = 0; i < velaset::MessageDialog::BoxCount; ++i) {
                d.SetText((velaset::MessageDialog::Box)i, ItemText(dialog, kMessageBoxes[i]));
            }
            d.Ok();
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

void RefuseOnTop(HWND dialog, const std::string& message) {
    KeepOnTop(dialog, false);
    platform::ShowMessageBox("Velaset", message, platform::MessageIcon::Exclamation);
    KeepOnTop(dialog, true);
}

void ShowDestDialog(HWND owner, velaset::Project& project, int row, HICON icon) {
    velaset::DestDialog dialog(project, row);
    DestContext context = {&dialog, icon};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DEST), owner, DestProc,
                    (LPARAM)&context);
}

void ShowLinkDialog(HWND owner, velaset::Project& project, int row, HICON icon) {
    velaset::LinkDialog dialog =
        row < 0 ? velaset::LinkDialog::ForNew(project) : velaset::LinkDialog::ForEdit(project, row);
    LinkContext context = {&dialog, icon};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LINK), owner, LinkProc,
                    (LPARAM)&context);
}

void ShowKeyregDialog(HWND owner, velaset::Project& project, int row, HICON icon) {
    velaset::KeyregDialog dialog = row < 0 ? velaset::KeyregDialog::ForNew(project)
                                           : velaset::KeyregDialog::ForEdit(project, row);
    KeyregContext context = {&dialog, icon, false};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_KEYREG), owner, KeyregProc,
                    (LPARAM)&context);
}

void ShowMessageDialog(HWND owner, velaset::Project& project, HICON icon) {
    velaset::MessageDialog dialog(project);
    MessageContext context = {&dialog, icon};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MESSAGE), owner, MessageProc,
                    (LPARAM)&context);
}

void DrawArtwork(const DRAWITEMSTRUCT& item, HICON icon, HFONT font) {
    const RECT& r = item.rcItem;
    int height = r.bottom - r.top;
    // A band from navy at the top to a lighter blue at the bottom.
    for (int y = 0; y < height; y += 2) {
        int k = y * 255 / (height > 0 ? height : 1);
        HBRUSH band = CreateSolidBrush(RGB(k / 6, k / 4, 128 + k / 3));
        RECT line = {r.left, r.top + y, r.right, r.top + y + 2};
        FillRect(item.hDC, &line, band);
        DeleteObject(band);
    }
    int x = (r.left + r.right) / 2 - 16;
    DrawIconEx(item.hDC, x, r.top + 40, icon, 32, 32, 0, nullptr, DI_NORMAL);
    HGDIOBJ old = SelectObject(item.hDC, font);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, RGB(255, 255, 255));
    RECT text = {r.left, r.top + 80, r.right, r.top + 110};
    DrawTextW(item.hDC, L"Velaset", -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, old);
}

} // namespace win32ui

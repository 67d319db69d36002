// frmWizard: creation, the button row, the stacked pages and the refresh of every field.
#include "builder/win32/wizard_window.h"

#include <commctrl.h>

#include <cstdint>

#include "builder/project/project_file.h"
#include "builder/project/project_lock.h"
#include "builder/win32/dialogs.h"
#include "builder/win32/path_display.h"
#include "builder/win32/resource.h"
#include "builder/win32/text.h"
#include "builder/wizard/column_headers.h"
#include "builder/wizard/stub_images.h"
#include "common/constants.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"

namespace win32ui {

namespace {

WizardWindow* g_window = nullptr;

const int kPageDialogs[velaset::kWizardPageCount] = {IDD_PAGE0, IDD_PAGE1, IDD_PAGE2, IDD_PAGE3,
                                                     IDD_PAGE4, IDD_PAGE5, IDD_PAGE6, IDD_PAGE7};

// The classic colours of the fields that the check boxes switch.
const COLORREF kPaleYellow = 0xC0FFFF;

// An edit field of a page and the project text it holds.
struct TextField {
    int page;
    int id;
    std::string velaset::Project::*text;
};

const TextField kTextFields[] = {
    {1, IDC_TXT_TITOLO, &velaset::Project::Titolo},
    {1, IDC_TXT_CAPTION_A, &velaset::Project::Caption},
    {1, IDC_TXT_ETIC1A, &velaset::Project::Etic1A},
    {1, IDC_TXT_ETIC2A, &velaset::Project::Etic2A},
    {1, IDC_TXT_BACKGROUND, &velaset::Project::TestoSfondo},
    {2, IDC_TXT_DEF_DIR, &velaset::Project::DefDir},
    {3, IDC_TXT_GRUPPO, &velaset::Project::NomeGruppo},
    {4, IDC_TXT_CAPTION_B, &velaset::Project::CaptionB},
    {4, IDC_TXT_ETIC_B, &velaset::Project::EticB},
    {4, IDC_TXT_UNINSTALL, &velaset::Project::LabelControl},
    {4, IDC_TXT_DISINSTALLA, &velaset::Project::UninstallString},
    {5, IDC_TXT_LAUNCH, &velaset::Project::Lancio},
    {6, IDC_TXT_VERSIONE, &velaset::Project::Versione}, // checked when the page is left
    {6, IDC_TXT_EDITORE, &velaset::Project::Editore},
    {6, IDC_TXT_SITO_WEB, &velaset::Project::SitoWeb},
};

// A check box of a page and the project flag it holds.
struct FlagField {
    int page;
    int id;
    int (velaset::Project::*get)() const;
    void (velaset::Project::*set)(int);
};

const FlagField kFlagFields[] = {
    {1, IDC_CHK_BACKGROUND, &velaset::Project::Sfondo, &velaset::Project::SetSfondo},
    {2, IDC_CHK_BROWSE, &velaset::Project::ButtonBrowse, &velaset::Project::SetButtonBrowse},
    {2, IDC_CHK_DIST, &velaset::Project::Distribuzione, &velaset::Project::SetDistribuzione},
    {3, IDC_CHK_GROUP, &velaset::Project::Gruppo, &velaset::Project::SetGruppo},
    {4, IDC_CHK_DLG_END, &velaset::Project::DlgEnd, &velaset::Project::SetDlgEnd},
    {4, IDC_CHK_UNINSTALL, &velaset::Project::Uninstall, &velaset::Project::SetUninstall},
    {5, IDC_CHK_LAUNCH, &velaset::Project::ChkLancio, &velaset::Project::SetChkLancio},
};

// The field that a dependency rule asks to take the focus.
struct FocusTarget {
    const char* field;
    int page;
    int id;
};

const FocusTarget kFocusTargets[] = {
    {"TestoSfondo", 1, IDC_TXT_BACKGROUND},
    {"UninstallString", 4, IDC_TXT_DISINSTALLA},
    {"Lancio", 5, IDC_TXT_LAUNCH},
    {"NomeGruppo", 3, IDC_TXT_GRUPPO},
};

bool IsTextField(int id) {
    for (const TextField& f : kTextFields) {
        if (f.id == id) {
            return true;
        }
    }
    return false;
}

void Enable(HWND dialog, int id, bool enabled) {
    HWND control = GetDlgItem(dialog, id);
    if (IsWindowEnabled(control) != (enabled ? TRUE : FALSE)) {
        EnableWindow(control, enabled);
        InvalidateRect(control, nullptr, TRUE);
    }
}

void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Show(HWND dialog, int id, bool visible) {
    ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

} // namespace

WizardWindow::WizardWindow(HINSTANCE instance, std::string commandLine)
    : instance_(instance), wizard_(project_, platform::ApplicationFolder()),
      startup_(wizard_, std::move(commandLine)) {
    g_window = this;
}

WizardWindow::~WizardWindow() {
    for (HGDIOBJ o : {(HGDIOBJ)headingFont_, (HGDIOBJ)welcomeFont_, (HGDIOBJ)white_, (HGDIOBJ)info_,
                      (HGDIOBJ)paleYellow_, (HGDIOBJ)menu_}) {
        if (o) {
            DeleteObject(o);
        }
    }
    g_window = nullptr;
}

bool WizardWindow::Create() {
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    info_ = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    paleYellow_ = CreateSolidBrush(kPaleYellow);
    menu_ = CreateSolidBrush(GetSysColor(COLOR_MENU));
    buttonFace_ = GetSysColorBrush(COLOR_BTNFACE);
    icon_ = (HICON)LoadImageW(instance_, MAKEINTRESOURCEW(IDI_VELASET), IMAGE_ICON, 32, 32, 0);
    smallIcon_ = (HICON)LoadImageW(instance_, MAKEINTRESOURCEW(IDI_VELASET), IMAGE_ICON, 16, 16, 0);

    main_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_WIZARD), nullptr, MainProc, 0);
    if (!main_) {
        return false;
    }
    SendMessageW(main_, WM_SETICON, ICON_BIG, (LPARAM)icon_);
    SendMessageW(main_, WM_SETICON, ICON_SMALL, (LPARAM)smallIcon_);
    tooltip_ = CreatePathTooltips(main_);

    // Fonts of the headings, from the dialog's own font.
    LOGFONTW font = {};
    GetObjectW((HFONT)SendMessageW(main_, WM_GETFONT, 0, 0), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    headingFont_ = CreateFontIndirectW(&font);
    font.lfHeight = font.lfHeight * 3 / 2;
    welcomeFont_ = CreateFontIndirectW(&font);

    // Every page takes the place of the page area; the header lies over their top.
    RECT area;
    GetWindowRect(GetDlgItem(main_, IDC_PAGE_AREA), &area);
    MapWindowPoints(nullptr, main_, (POINT*)&area, 2);
    for (int i = 0; i < velaset::kWizardPageCount; ++i) {
        pages_[i] = CreateDialogParamW(instance_, MAKEINTRESOURCEW(kPageDialogs[i]), main_,
                                       PageProc, (LPARAM)i);
        SetWindowPos(pages_[i], HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
    header_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_HEADER), main_, HeaderProc, 0);
    RECT headerRect;
    GetWindowRect(header_, &headerRect);
    SetWindowPos(header_, HWND_TOP, area.left, area.top, area.right - area.left,
                 headerRect.bottom - headerRect.top, SWP_NOACTIVATE);
    SendDlgItemMessageW(header_, IDC_LBL_SCRN_TITLE, WM_SETFONT, (WPARAM)headingFont_, FALSE);
    SendDlgItemMessageW(pages_[0], IDC_LBL_BENVENUTI, WM_SETFONT, (WPARAM)welcomeFont_, FALSE);
    SendDlgItemMessageW(pages_[7], IDC_LABEL22, WM_SETFONT, (WPARAM)welcomeFont_, FALSE);
    progress_.Attach(GetDlgItem(pages_[7], IDC_PNL_PROGRESS));
    progress_.Clear(kPaleYellow);
    PlaceColumns();
    CheckRadioButton(pages_[0], IDC_OPTION1, IDC_OPTION2, IDC_OPTION1);

    if (!startup_.FormLoad()) {
        DestroyWindow(main_);
        main_ = nullptr;
        return false;
    }
    SetItemText(pages_[2], IDC_LBL_PROG_FILES, startup_.ProgramFilesLabel());
    RefreshLists();
    ShowCurrentPage();
    ShowWindow(main_, SW_SHOW);
    return true;
}

int WizardWindow::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 &&
            (msg.hwnd == main_ || IsChild(main_, msg.hwnd))) {
            OpenHelp(main_);
            continue;
        }
        if (about_ && IsDialogMessageW(about_, &msg)) {
            continue;
        }
        if (main_ && IsDialogMessageW(main_, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}

INT_PTR CALLBACK WizardWindow::MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_window) {
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        g_window->main_ = dialog;
        return TRUE;
    }
    return g_window->OnMain(message, wParam, lParam);
}

INT_PTR CALLBACK WizardWindow::HeaderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)dialog;
    (void)lParam;
    if (!g_window) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORDLG:
        return (INT_PTR)g_window->white_;
    case WM_CTLCOLORSTATIC:
        SetBkColor((HDC)wParam, RGB(255, 255, 255));
        return (INT_PTR)g_window->white_;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK WizardWindow::PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        return FALSE;
    }
    if (!g_window) {
        return FALSE;
    }
    int page = (int)GetWindowLongPtrW(dialog, GWLP_USERDATA);
    return g_window->OnPage(page, dialog, message, wParam, lParam);
}

INT_PTR WizardWindow::OnMain(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CMD_NEXT:
            OnNext();
            return TRUE;
        case IDC_CMD_BACK:
            OnBack();
            return TRUE;
        case IDC_CMD_FINISH:
            OnFinish();
            return TRUE;
        case IDC_CMD_ABOUT:
            OnAbout();
            return TRUE;
        case IDC_CMD_EXIT:
        case IDCANCEL:
            OnClose();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_HELP:
        OpenHelp(main_);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

HBRUSH WizardWindow::PageColour(int id, HDC dc, bool enabled) const {
    HBRUSH brush = nullptr;
    switch (id) {
    case IDC_TXT_BACKGROUND:
    case IDC_TXT_LAUNCH:
    case IDC_LBL_CARICA:
        brush = enabled ? white_ : info_;
        break;
    case IDC_TXT_DISINSTALLA:
        brush = enabled ? white_ : paleYellow_;
        break;
    case IDC_TXT_CAPTION_B:
    case IDC_TXT_ETIC_B:
        brush = enabled ? white_ : menu_;
        break;
    case IDC_TXT_GRUPPO:
    case IDC_LST_LINK0:
    case IDC_LST_LINK1:
    case IDC_LST_LINK2:
        brush = enabled ? white_ : buttonFace_;
        break;
    default:
        return nullptr;
    }
    LOGBRUSH lb;
    GetObjectW(brush, sizeof(lb), &lb);
    SetBkColor(dc, lb.lbColor);
    return brush;
}

INT_PTR WizardWindow::OnPage(int page, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnPageCommand(page, dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
        HWND control = (HWND)lParam;
        int id = GetDlgCtrlID(control);
        // The edit box inside the launch drop-down reports through the drop-down.
        if (id != IDC_TXT_LAUNCH && GetDlgCtrlID(GetParent(control)) == IDC_TXT_LAUNCH) {
            id = IDC_TXT_LAUNCH;
            control = GetParent(control);
        }
        HBRUSH brush = PageColour(id, (HDC)wParam, IsWindowEnabled(control) != FALSE);
        return (INT_PTR)brush;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
        if (item->CtlID == IDC_PNL_PROGRESS) {
            progress_.Draw(*item);
        } else {
            DrawArtwork(*item, icon_, welcomeFont_);
        }
        return TRUE;
    }
    case WM_PAINT:
        if (page == 2 || page == 3) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(dialog, &ps);
            PaintColumnHeaders(page, dc);
            EndPaint(dialog, &ps);
            return TRUE;
        }
        return FALSE;
    case WM_CONTEXTMENU:
        ContextMenu(page, (HWND)wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

void WizardWindow::OnPageCommand(int page, HWND dialog, int id, int code) {
    if (refreshing_) {
        return;
    }
    // Text fields: every change goes into the project at once.
    if (IsTextField(id)) {
        if (code == EN_CHANGE || code == CBN_EDITCHANGE) {
            for (const TextField& f : kTextFields) {
                if (f.id == id) {
                    project_.*(f.text) = ItemText(dialog, id);
                }
            }
        } else if (code == CBN_SELCHANGE) {
            HWND combo = GetDlgItem(dialog, id);
            LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (sel != CB_ERR) {
                std::vector<wchar_t> buffer(SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0) + 1);
                SendMessageW(combo, CB_GETLBTEXT, sel, (LPARAM)buffer.data());
                project_.Lancio = Narrow(buffer.data());
            }
        } else if (code == EN_SETFOCUS) {
            if (id == IDC_TXT_TITOLO) {
                project_.BeginTitleEdit();
            }
            PostMessageW(GetDlgItem(dialog, id), EM_SETSEL, 0, -1);
        } else if (code == EN_KILLFOCUS && id == IDC_TXT_TITOLO) {
            project_.EndTitleEdit();
            RefreshFields();
        }
        return;
    }
    for (const FlagField& f : kFlagFields) {
        if (f.id == id && code == BN_CLICKED) {
            (project_.*(f.set))(IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0);
            RefreshFields();
            if (id == IDC_CHK_GROUP) {
                RefreshLists();
            }
            TakeFocusRequest();
            return;
        }
    }
    switch (id) {
    case IDC_OPTION1:
    case IDC_OPTION2:
        if (code == BN_CLICKED) {
            wizard_.SetChoice(id == IDC_OPTION1 ? velaset::ProjectChoice::New
                                                : velaset::ProjectChoice::Existing);
            RefreshFirstPage();
        }
        break;
    case IDC_CHK_INF:
        wizard_.SetChkInf(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
        break;
    case IDC_CHK_X64:
        if (code == BN_CLICKED) {
            project_.Architettura = IsDlgButtonChecked(dialog, id) == BST_CHECKED
                                        ? velaset::Architecture::X64
                                        : velaset::Architecture::X86;
        }
        break;
    case IDC_CHK_LZX:
        if (code == BN_CLICKED) {
            project_.Compressione = IsDlgButtonChecked(dialog, id) == BST_CHECKED
                                        ? velaset::Compression::Lzx
                                        : velaset::Compression::MsZip;
        }
        break;
    case IDC_CHK_UTENTE:
        if (code == BN_CLICKED) {
            project_.Ambito = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? velaset::Scope::User
                                                                             : velaset::Scope::Machine;
        }
        break;
    case IDC_CHK_MOD:
        wizard_.SetChkMod(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
        break;
    case IDC_IMG_ICO:
        if (code == STN_CLICKED) {
            wizard_.ToggleOptions();
            RefreshFirstPage();
        }
        break;
    case IDC_CMD_APRI:
        OnOpenProject();
        break;
    case IDC_CMD_AGGIUNGI:
        OnAddFiles();
        break;
    case IDC_CMD_ELIMINA:
        OnDeleteFiles();
        break;
    case IDC_CMD_ELIMINA_TUTTI:
        OnDeleteAllFiles();
        break;
    case IDC_CMD_MODIFICA_DEST:
    case IDM_MODIFICA_DEST:
        OnChangeDestination();
        break;
    case IDC_LST_FILES:
    case IDC_LST_DEST:
        if (code == LBN_SELCHANGE) {
            OnFileSelection(id);
        } else if (code == LBN_DBLCLK && id == IDC_LST_FILES) {
            OnChangeDestination();
        }
        break;
    case IDC_CMD_NUOVO_LINK:
    case IDM_NUOVO_LINK:
        OnLinkCommand(0);
        break;
    case IDC_CMD_MODIFICA_LINK:
    case IDM_MODIFICA_LINK:
        OnLinkCommand(1);
        break;
    case IDC_CMD_ELIMINA_LINK:
    case IDM_ELIMINA_LINK:
        OnLinkCommand(2);
        break;
    case IDC_LST_LINK0:
    case IDC_LST_LINK1:
    case IDC_LST_LINK2:
        if (code == LBN_SELCHANGE) {
            OnLinkSelection(id);
        }
        break;
    case IDC_CMD_MESSAGGI:
        ShowMessageDialog(main_, project_, icon_);
        break;
    case IDC_CMD_AGGIUNGI_VOCE:
    case IDC_CMD_MODIFICA_VOCE:
    case IDC_CMD_ELIMINA_VOCE:
        OnRegistryCommand(id);
        break;
    case IDC_LST_REG_CONF:
        if (code == LBN_SELCHANGE) {
            RefreshRegistryButtons();
        }
        break;
    case IDC_CMD_SFOGLIA_EXE:
        OnSaveExecutableAs();
        break;
    case IDC_CMD_SFOGLIA_PROGETTO:
        OnSaveProjectAs();
        break;
    default:
        break;
    }
}

// ---- Showing pages and fields ---------------------------------------------------------

void WizardWindow::ShowCurrentPage() {
    int current = wizard_.CurrentPage();
    for (int i = 0; i < velaset::kWizardPageCount; ++i) {
        ShowWindow(pages_[i], i == current ? SW_SHOW : SW_HIDE);
    }
    EnableWindow(GetDlgItem(main_, IDC_CMD_BACK), wizard_.BackEnabled());
    EnableWindow(GetDlgItem(main_, IDC_CMD_NEXT), wizard_.NextEnabled());
    EnableWindow(GetDlgItem(main_, IDC_CMD_FINISH), wizard_.FinishEnabled());
    SetItemText(header_, IDC_LBL_SCRN_TITLE, wizard_.Heading());
    SetItemText(header_, IDC_LBL_SCRN_SUBTITLE, wizard_.SubHeading());
    if (wizard_.HeaderVisible()) {
        SetWindowPos(header_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(header_, SW_HIDE);
    }
    if (current == 5) {
        // Keep the typed text, offer the files of the installation folder.
        HWND launch = GetDlgItem(pages_[5], IDC_TXT_LAUNCH);
        std::string kept = project_.Lancio;
        refreshing_ = true;
        FillComboItems(launch, wizard_.LaunchChoices());
        SetWindowTextW(launch, Widen(kept).c_str());
        refreshing_ = false;
    }
    RefreshFields();
    RefreshLists();
    RefreshFirstPage();
    RefreshLastPage();
    if (current == 1) {
        SetFocus(GetDlgItem(pages_[1], IDC_TXT_TITOLO));
    } else {
        SetFocus(GetDlgItem(main_, IDC_CMD_NEXT));
    }
}

void WizardWindow::RefreshFields() {
    refreshing_ = true;
    for (const TextField& f : kTextFields) {
        SetItemText(pages_[f.page], f.id, project_.*(f.text));
    }
    for (const FlagField& f : kFlagFields) {
        Check(pages_[f.page], f.id, (project_.*(f.get))() == 1);
    }
    Check(pages_[6], IDC_CHK_X64, project_.Architettura == velaset::Architecture::X64);
    Check(pages_[6], IDC_CHK_LZX, project_.Compressione == velaset::Compression::Lzx);
    Check(pages_[6], IDC_CHK_UTENTE, project_.Ambito == velaset::Scope::User);
    const velaset::FieldStates& states = project_.States();
    Enable(pages_[1], IDC_TXT_BACKGROUND, states.testoSfondoEditable);
    Enable(pages_[3], IDC_TXT_GRUPPO, states.nomeGruppoEditable);
    Enable(pages_[3], IDC_LST_LINK0, states.linksEnabled);
    Enable(pages_[3], IDC_LST_LINK1, states.linksEnabled);
    Enable(pages_[3], IDC_LST_LINK2, states.linksEnabled);
    Enable(pages_[4], IDC_TXT_CAPTION_B, states.captionBEditable);
    Enable(pages_[4], IDC_TXT_ETIC_B, states.eticBEditable);
    Enable(pages_[4], IDC_CHK_UNINSTALL, wizard_.UninstallCheckEnabled());
    Enable(pages_[4], IDC_TXT_DISINSTALLA,
           wizard_.UninstallStringEnabled() && states.uninstallStringEditable);
    Enable(pages_[5], IDC_TXT_LAUNCH, states.lancioEditable);
    refreshing_ = false;
    RefreshPathDisplays();
}

void WizardWindow::RefreshPathDisplays() {
    ShowPath(tooltip_, pages_[6], GetDlgItem(pages_[6], IDC_TXT_EXE), project_.ExeFile);
    ShowPath(tooltip_, pages_[6], GetDlgItem(pages_[6], IDC_TXT_PROGETTO), project_.ProgFile);
    ShowPath(tooltip_, pages_[7], GetDlgItem(pages_[7], IDC_LBL_NOME_ESEGUIBILE), project_.ExeFile);
    ShowPath(tooltip_, pages_[7], GetDlgItem(pages_[7], IDC_LBL_NOME_PROGETTO), project_.ProgFile);
}

void WizardWindow::RefreshFirstPage() {
    HWND page = pages_[0];
    bool existing = wizard_.Choice() == velaset::ProjectChoice::Existing;
    CheckRadioButton(page, IDC_OPTION1, IDC_OPTION2, existing ? IDC_OPTION2 : IDC_OPTION1);
    Enable(page, IDC_LBL_CARICA, existing);
    Enable(page, IDC_CMD_APRI, existing);
    ShowPath(tooltip_, page, GetDlgItem(page, IDC_LBL_CARICA), wizard_.LoadedProject());
    bool options = wizard_.OptionsShown();
    Show(page, IDC_IMG_WIZARD, !options);
    Show(page, IDC_FRAME1, options);
    Show(page, IDC_CHK_INF, options);
    Show(page, IDC_CHK_MOD, options);
    Check(page, IDC_CHK_INF, wizard_.ChkInf() == 1);
    Check(page, IDC_CHK_MOD, wizard_.ChkMod() == 1);
}

void WizardWindow::RefreshLastPage() {
    HWND page = pages_[7];
    const velaset::LastPage& t = wizard_.LastPage();
    SetItemText(page, IDC_LABEL22, t.Label22);
    SetItemText(page, IDC_LABEL30, t.Label30);
    SetItemText(page, IDC_LABEL32, t.Label32);
    SetItemText(page, IDC_LABEL33, t.Label33);
    SetItemText(page, IDC_LABEL11, t.Label11);
    Show(page, IDC_LBL_NOME_ESEGUIBILE, t.showNomeEseguibile);
    Show(page, IDC_LBL_NOME_PROGETTO, t.showNomeProgetto);
}

void WizardWindow::TakeFocusRequest() {
    std::string field = project_.TakeFocusRequest();
    for (const FocusTarget& t : kFocusTargets) {
        if (field == t.field && t.page == wizard_.CurrentPage()) {
            SetFocus(GetDlgItem(pages_[t.page], t.id));
        }
    }
}

void WizardWindow::EndTitleEditIfFocused() {
    // A click moves the focus first; a key press on a button may not.
    if (GetFocus() == GetDlgItem(pages_[1], IDC_TXT_TITOLO)) {
        SetFocus(GetDlgItem(main_, IDC_CMD_NEXT));
    }
}

// ---- The button row -------------------------------------------------------------------

void WizardWindow::OnNext() {
    EndTitleEditIfFocused();
    if (building_) {
        return;
    }
    int before = wizard_.CurrentPage();
    velaset::WizardController::NextResult result = wizard_.Next();
    if (result == velaset::WizardController::NextResult::Build) {
        RunBuild();
        return;
    }
    if (result == velaset::WizardController::NextResult::Refused) {
        // A silent correction may have changed a field of the page.
        RefreshFields();
        return;
    }
    if (before == 0 && wizard_.CurrentPage() == 1) {
        progress_.Clear(kPaleYellow);
    }
    ShowCurrentPage();
}

void WizardWindow::OnBack() {
    EndTitleEditIfFocused();
    wizard_.Back();
    ShowCurrentPage();
}

void WizardWindow::OnFinish() {
    startup_.Finish();
    progress_.Clear(kPaleYellow);
    RefreshLists();
    ShowCurrentPage();
}

void WizardWindow::OnAbout() {
    SetFocus(GetDlgItem(main_, IDC_CMD_NEXT));
    ShowWindow(main_, SW_HIDE);
    about_ = ShowAboutBox(instance_, main_, this);
}

void WizardWindow::ShowAgain() {
    about_ = nullptr;
    ShowWindow(main_, SW_SHOW);
    SetForegroundWindow(main_);
}

void WizardWindow::OnClose() {
    if (building_) {
        return;
    }
    if (wizard_.ConfirmExit()) {
        DestroyWindow(main_);
    }
}

void WizardWindow::OpenHelp(HWND owner) {
    ShellExecuteW(owner, L"open", Widen(startup_.HelpFile()).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void WizardWindow::RunBuild() {
    building_ = true;
    EnableWindow(GetDlgItem(main_, IDC_CMD_BACK), FALSE);
    EnableWindow(GetDlgItem(main_, IDC_CMD_NEXT), FALSE);
    EnableWindow(GetDlgItem(main_, IDC_CMD_FINISH), FALSE);
    velaset::BuildServices services = velaset::DefaultBuildServices();
    // The project is saved under its lock, taken only for the save: no command works on
    // the file meanwhile, and the wizard's message boxes keep nobody waiting.
    services.saveProject = [](const velaset::Project& project) {
        velaset::ProjectLock lock;
        platform::Status locked = lock.Take(project.ProgFile);
        return locked ? velaset::SaveProject(project) : locked;
    };
    // Both stub images travel at the end of the builder's own program file, after the
    // builder image of this program's architecture.
    std::string self = wizard_.ApplicationFolder() + "\\velaset.exe";
    const std::int64_t builderImage =
        sizeof(void*) == 8 ? STUB_OFFSET_IN_BUILDER64 : STUB_OFFSET_IN_BUILDER;
    services.locateStub = [self, builderImage](velaset::Architecture architecture,
                                               velaset::StubImage* stub) {
        *stub = velaset::WizardStubImage(self, builderImage, architecture);
        return platform::Status::Ok();
    };
    velaset::ProgressDisplay display;
    display.draw = [this](int percent) {
        // A positive figure gets a leading blank, as the bar's text always had.
        Riempi(percent > 0 ? " " + std::to_string(percent) : std::to_string(percent));
    };
    display.pause = [] { Sleep(200); };
    // The build runs on this thread: the line is painted at once, not at the next pump.
    display.line = [this](const std::string& text) {
        SetItemText(pages_[7], IDC_LABEL11, text);
        UpdateWindow(GetDlgItem(pages_[7], IDC_LABEL11));
    };
    wizard_.SetProgressDisplay(display);
    {
        platform::WaitCursor wait;
        wizard_.RunBuild(services);
    }
    if (wizard_.LastPage().progressCleared) {
        ClearProgress();
    }
    building_ = false;
    RefreshLastPage();
    EnableWindow(GetDlgItem(main_, IDC_CMD_BACK), wizard_.BackEnabled());
    EnableWindow(GetDlgItem(main_, IDC_CMD_NEXT), wizard_.NextEnabled());
    EnableWindow(GetDlgItem(main_, IDC_CMD_FINISH), wizard_.FinishEnabled());
    SetFocus(GetDlgItem(main_, IDC_CMD_FINISH));
}

void WizardWindow::Riempi(const std::string& percentText) {
    progress_.Riempi(percentText);
}

void WizardWindow::ClearProgress() {
    progress_.Clear(GetSysColor(COLOR_BTNFACE));
}

} // namespace win32ui

// frmWizard's list pages: the files with their destinations, the links, the registry
// entries, their painted column headers and right-button menus, and the file dialogs
// of the first and the sixth page.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "builder/project/failure_text.h"
#include "builder/project/project_file.h"
#include "builder/project/project_lock.h"
#include "builder/script/verifica_lista.h"
#include "builder/win32/dialogs.h"
#include "builder/win32/file_dialogs.h"
#include "builder/win32/resource.h"
#include "builder/win32/text.h"
#include "builder/win32/wizard_window.h"
#include "builder/wizard/column_headers.h"
#include "platform/message_box.h"

namespace win32ui {

namespace {

const int kLinkLists[3] = {IDC_LST_LINK0, IDC_LST_LINK1, IDC_LST_LINK2};

int TwipsPerPixelOf(HWND window) {
    HDC dc = GetDC(window);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return velaset::TwipsPerPixel(dpi);
}

// The rectangle of a header in pixels.
RECT HeaderPixels(const velaset::TwipsRect& r, int tpp) {
    RECT px = {r.left / tpp, r.top / tpp, (r.left + r.width) / tpp, (r.top + r.height) / tpp};
    return px;
}

// Places a list right under its header, as wide as the header, down to `bottom`.
void PlaceUnder(HWND page, int id, const velaset::TwipsRect& header, int tpp, int bottom) {
    RECT px = HeaderPixels(header, tpp);
    SetWindowPos(GetDlgItem(page, id), nullptr, px.left, px.bottom + 1, px.right - px.left + 1,
                 bottom - px.bottom - 1, SWP_NOZORDER | SWP_NOACTIVATE);
}

int ControlTop(HWND page, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(page, id), &r);
    MapWindowPoints(nullptr, page, (POINT*)&r, 2);
    return r.top;
}

// The columns of the files page, and those of the links page, scroll together:
// whatever scrolls one (its scroll bar, the wheel, the keys) brings the others of its
// page to the same top row.
LRESULT CALLBACK ScrollTogether(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    static const int kColumns[] = {IDC_LST_FILES, IDC_LST_DEST, IDC_LST_LINK0, IDC_LST_LINK1,
                                   IDC_LST_LINK2};
    LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    switch (message) {
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE: {
        LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        for (int id : kColumns) {
            HWND column = GetDlgItem(GetParent(list), id);
            if (column && column != list) {
                SendMessageW(column, LB_SETTOPINDEX, top, 0);
            }
        }
        break;
    }
    default:
        break;
    }
    return result;
}

} // namespace

void WizardWindow::PlaceColumns() {
    int tpp = TwipsPerPixelOf(main_);
    const std::vector<velaset::ColumnHeader>& headers = velaset::ColumnHeaders();
    int filesBottom = ControlTop(pages_[2], IDC_CHK_BROWSE) - 6;
    PlaceUnder(pages_[2], IDC_LST_FILES, headers[0].rect, tpp, filesBottom);
    PlaceUnder(pages_[2], IDC_LST_DEST, headers[1].rect, tpp, filesBottom);
    SetWindowSubclass(GetDlgItem(pages_[2], IDC_LST_FILES), ScrollTogether, 1, 0);
    SetWindowSubclass(GetDlgItem(pages_[2], IDC_LST_DEST), ScrollTogether, 1, 0);
    for (int id : kLinkLists) {
        SetWindowSubclass(GetDlgItem(pages_[3], id), ScrollTogether, 1, 0);
    }
    RECT page3;
    GetClientRect(pages_[3], &page3);
    int linksBottom = page3.bottom - 10;
    for (int i = 0; i < 3; ++i) {
        PlaceUnder(pages_[3], kLinkLists[i], headers[2 + i].rect, tpp, linksBottom);
    }
}

void WizardWindow::PaintColumnHeaders(int page, HDC dc) {
    int tpp = TwipsPerPixelOf(main_);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(pages_[page], WM_GETFONT, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (const velaset::ColumnHeader& h : velaset::ColumnHeaders()) {
        if (h.page != page) {
            continue;
        }
        RECT px = HeaderPixels(h.rect, tpp);
        FillRect(dc, &px, GetSysColorBrush(COLOR_BTNFACE));
        std::wstring text = Widen(h.text);
        RECT inner = {px.left + 3, px.top, px.right - 2, px.bottom};
        DrawTextW(dc, text.c_str(), -1, &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        // DisegnaRilievo: a raised edge from the pixels already there.
        for (const velaset::ReliefPixel& p : velaset::ReliefPixels(h.rect, tpp)) {
            COLORREF c = GetPixel(dc, p.x, p.y);
            if (c != CLR_INVALID) {
                SetPixel(dc, p.x, p.y, velaset::ShadeColour(c, p.lighten ? 0.3 : -0.3));
            }
        }
    }
    SelectObject(dc, oldFont);
}

void WizardWindow::ContextMenu(int page, HWND control, LPARAM lParam) {
    int id = GetDlgCtrlID(control);
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (at.x == -1 && at.y == -1) {
        RECT r;
        GetWindowRect(control, &r);
        at.x = r.left + 4;
        at.y = r.top + 4;
    }
    if (page == 2 && id == IDC_LST_FILES) {
        HWND list = GetDlgItem(pages_[2], IDC_LST_FILES);
        if (SendMessageW(list, LB_GETCOUNT, 0, 0) == 0 ||
            SendMessageW(list, LB_GETSELCOUNT, 0, 0) <= 0) {
            return;
        }
        HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_FILES));
        TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, pages_[2], nullptr);
        DestroyMenu(menu);
    } else if (page == 3 && (id == IDC_LST_LINK0 || id == IDC_LST_LINK1 || id == IDC_LST_LINK2)) {
        HWND list = GetDlgItem(pages_[3], IDC_LST_LINK0);
        bool selected = SendMessageW(list, LB_GETCOUNT, 0, 0) > 0 &&
                        SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR;
        HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_LINKS));
        HMENU popup = GetSubMenu(menu, 0);
        EnableMenuItem(popup, IDM_MODIFICA_LINK, selected ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(popup, IDM_ELIMINA_LINK, selected ? MF_ENABLED : MF_GRAYED);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, pages_[3], nullptr);
        DestroyMenu(menu);
    }
}

// ---- Refreshing the lists ---------------------------------------------------------------

void WizardWindow::RefreshLists() {
    std::vector<std::string> paths, codes, linkFiles, linkNames, linkPlaces;
    for (const velaset::FileEntry& f : project_.Files()) {
        paths.push_back(f.path);
        codes.push_back(f.destination);
    }
    for (const velaset::LinkEntry& l : project_.Links()) {
        linkFiles.push_back(l.file);
        linkNames.push_back(l.name);
        linkPlaces.push_back(l.location);
    }
    HWND files = GetDlgItem(pages_[2], IDC_LST_FILES);
    FillListItems(files, paths);
    FillListItems(GetDlgItem(pages_[2], IDC_LST_DEST), codes);
    SendMessageW(files, LB_SETHORIZONTALEXTENT, 2000, 0);
    RefreshFileButtons();

    FillListItems(GetDlgItem(pages_[3], kLinkLists[0]), linkFiles);
    FillListItems(GetDlgItem(pages_[3], kLinkLists[1]), linkNames);
    FillListItems(GetDlgItem(pages_[3], kLinkLists[2]), linkPlaces);
    RefreshLinkButtons();

    HWND keys = GetDlgItem(pages_[5], IDC_LST_REG_CONF);
    FillListItems(keys, project_.RegistryEntries());
    SendMessageW(keys, LB_SETHORIZONTALEXTENT, 2000, 0);
    RefreshRegistryButtons();
}

void WizardWindow::RefreshFileButtons() {
    HWND files = GetDlgItem(pages_[2], IDC_LST_FILES);
    bool selected = SendMessageW(files, LB_GETSELCOUNT, 0, 0) > 0;
    EnableWindow(GetDlgItem(pages_[2], IDC_CMD_ELIMINA), selected);
    EnableWindow(GetDlgItem(pages_[2], IDC_CMD_ELIMINA_TUTTI), selected);
    EnableWindow(GetDlgItem(pages_[2], IDC_CMD_MODIFICA_DEST), selected);
}

void WizardWindow::RefreshLinkButtons() {
    HWND list = GetDlgItem(pages_[3], IDC_LST_LINK0);
    bool selected = SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR;
    EnableWindow(GetDlgItem(pages_[3], IDC_CMD_MODIFICA_LINK), selected);
    EnableWindow(GetDlgItem(pages_[3], IDC_CMD_ELIMINA_LINK), selected);
}

void WizardWindow::RefreshRegistryButtons() {
    HWND list = GetDlgItem(pages_[5], IDC_LST_REG_CONF);
    bool selected = SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR;
    EnableWindow(GetDlgItem(pages_[5], IDC_CMD_MODIFICA_VOCE), selected);
    EnableWindow(GetDlgItem(pages_[5], IDC_CMD_ELIMINA_VOCE), selected);
}

// ---- Page 0 and page 6: the file dialogs --------------------------------------------------

void WizardWindow::OnOpenProject() {
    std::string path;
    if (!ChooseProjectToOpen(main_, &path)) {
        return;
    }
    // A file that is no project gets no lock file beside it.
    const platform::Status isProject = velaset::CheckProjectFile(path);
    if (!isProject) {
        platform::ShowMessageBox("Velaset", velaset::FailureText(isProject),
                                 platform::MessageIcon::Stop);
        return;
    }
    {
        // A project that another run is writing is not read half-way.
        velaset::ProjectLock lock(platform::LockMode::Shared);
        platform::Status locked = lock.Take(path);
        if (!locked) {
            platform::ShowMessageBox("Velaset", velaset::FailureText(locked),
                                     platform::MessageIcon::Stop);
            return;
        }
        platform::IgnoreFailure(wizard_.OpenProject(path)); // it has told the user why
    }
    RefreshFirstPage();
    RefreshFields();
    RefreshLists();
}

void WizardWindow::OnSaveProjectAs() {
    std::string path;
    if (ChooseProjectToSave(main_, project_.ProgFile, &path)) {
        project_.ProgFile = path;
        RefreshPathDisplays();
    }
}

void WizardWindow::OnSaveExecutableAs() {
    std::string path;
    if (ChooseExecutableToSave(main_, project_.ExeFile, &path)) {
        project_.ExeFile = path;
        RefreshPathDisplays();
    }
}

// ---- Page 2: files ---------------------------------------------------------------------

void WizardWindow::OnAddFiles() {
    std::vector<std::string> paths;
    std::string folder;
    if (!ChooseFilesToAdd(main_, &paths, &folder)) {
        return;
    }
    velaset::VerificaLista check(project_, velaset::SystemDefaultFolders());
    for (const std::string& path : paths) {
        velaset::AddResult result = check.Add(path, folder);
        if (!result.message.empty()) {
            platform::ShowMessageBox("Velaset", result.message, platform::MessageIcon::Exclamation);
        }
    }
    RefreshLists();
}

void WizardWindow::OnDeleteFiles() {
    HWND files = GetDlgItem(pages_[2], IDC_LST_FILES);
    for (int i = (int)SendMessageW(files, LB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
        if (SendMessageW(files, LB_GETSEL, i, 0) > 0) {
            project_.RemoveFileAt(i);
        }
    }
    RefreshLists();
}

void WizardWindow::OnDeleteAllFiles() {
    project_.ClearFiles();
    RefreshLists();
}

void WizardWindow::OnChangeDestination() {
    HWND files = GetDlgItem(pages_[2], IDC_LST_FILES);
    int row = (int)SendMessageW(files, LB_GETCARETINDEX, 0, 0);
    if (row < 0 || row >= (int)project_.Files().size()) {
        return;
    }
    ShowDestDialog(main_, project_, row, icon_);
    HWND dest = GetDlgItem(pages_[2], IDC_LST_DEST);
    // Only the code of that row changes: replace it in place, keep the selection.
    bool selected = SendMessageW(dest, LB_GETSEL, row, 0) > 0;
    SendMessageW(dest, LB_DELETESTRING, row, 0);
    SendMessageW(dest, LB_INSERTSTRING, row,
                 (LPARAM)Widen(project_.Files()[row].destination).c_str());
    SendMessageW(dest, LB_SETSEL, selected, row);
    SendMessageW(dest, LB_SETTOPINDEX, SendMessageW(files, LB_GETTOPINDEX, 0, 0), 0);
}

void WizardWindow::OnFileSelection(int id) {
    HWND files = GetDlgItem(pages_[2], IDC_LST_FILES);
    HWND dest = GetDlgItem(pages_[2], IDC_LST_DEST);
    int row;
    if (id == IDC_LST_FILES) {
        // The code column follows the path column row by row: the selected rows only,
        // without a repaint for each.
        row = (int)SendMessageW(files, LB_GETCARETINDEX, 0, 0);
        int selected = (int)SendMessageW(files, LB_GETSELCOUNT, 0, 0);
        std::vector<int> rows(selected > 0 ? selected : 0);
        if (selected > 0)
            SendMessageW(files, LB_GETSELITEMS, selected, (LPARAM)rows.data());
        SendMessageW(dest, WM_SETREDRAW, FALSE, 0);
        SendMessageW(dest, LB_SETSEL, FALSE, -1);
        for (int selectedRow : rows) {
            SendMessageW(dest, LB_SETSEL, TRUE, selectedRow);
        }
        SendMessageW(dest, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(dest, nullptr, TRUE);
    } else {
        // A click on a code adds its path to the paths already selected.
        row = (int)SendMessageW(dest, LB_GETCARETINDEX, 0, 0);
        SendMessageW(files, LB_SETSEL, TRUE, row);
        SendMessageW(files, LB_SETCARETINDEX, row, FALSE);
    }
    SendMessageW(dest, LB_SETTOPINDEX, SendMessageW(files, LB_GETTOPINDEX, 0, 0), 0);
    RefreshFileButtons();
}

// ---- Page 3: links -------------------------------------------------------------------

void WizardWindow::OnLinkSelection(int id) {
    int row = (int)SendDlgItemMessageW(pages_[3], id, LB_GETCURSEL, 0, 0);
    int top = (int)SendDlgItemMessageW(pages_[3], id, LB_GETTOPINDEX, 0, 0);
    for (int listId : kLinkLists) {
        SendDlgItemMessageW(pages_[3], listId, LB_SETCURSEL, row, 0);
        SendDlgItemMessageW(pages_[3], listId, LB_SETTOPINDEX, top, 0);
    }
    RefreshLinkButtons();
}

void WizardWindow::OnLinkCommand(int command) {
    int row = (int)SendDlgItemMessageW(pages_[3], IDC_LST_LINK0, LB_GETCURSEL, 0, 0);
    if (command == 0) {
        ShowLinkDialog(main_, project_, -1, icon_);
    } else if (row == LB_ERR) {
        return;
    } else if (command == 1) {
        ShowLinkDialog(main_, project_, row, icon_);
    } else {
        project_.RemoveLinkAt(row);
    }
    RefreshLists();
    if (command == 1) {
        for (int listId : kLinkLists) {
            SendDlgItemMessageW(pages_[3], listId, LB_SETCURSEL, row, 0);
        }
        RefreshLinkButtons();
    }
}

// ---- Page 5: registry entries -----------------------------------------------------------

void WizardWindow::OnRegistryCommand(int id) {
    int row = (int)SendDlgItemMessageW(pages_[5], IDC_LST_REG_CONF, LB_GETCURSEL, 0, 0);
    if (id == IDC_CMD_AGGIUNGI_VOCE) {
        ShowKeyregDialog(main_, project_, -1, icon_);
    } else if (row == LB_ERR) {
        return;
    } else if (id == IDC_CMD_MODIFICA_VOCE) {
        ShowKeyregDialog(main_, project_, row, icon_);
    } else if (platform::ShowMessageBox("Velaset", "Vuoi eliminare la voce selezionata?",
                                        platform::MessageIcon::Question,
                                        platform::MessageButtons::YesNo) ==
               platform::MessageAnswer::Yes) {
        project_.RemoveRegistryEntryAt(row);
    }
    RefreshLists();
}

} // namespace win32ui

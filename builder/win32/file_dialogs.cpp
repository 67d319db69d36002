// The common file dialogs of the wizard.
#include "builder/win32/file_dialogs.h"

#include <commdlg.h>

#include "builder/win32/text.h"

namespace win32ui {

std::wstring DialogFilter(const std::string& filter) {
    std::wstring wide = Widen(filter);
    if (wide.empty() || wide.back() != L'|') {
        wide += L'|';
    }
    for (wchar_t& c : wide) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    return wide;
}

namespace {

// The fields every file dialog of the wizard fills the same way; the caller keeps
// the title, filter and buffer alive while the dialog runs.
OPENFILENAMEW FileDialogFields(HWND owner, const std::wstring& title, const std::wstring& filter,
                               wchar_t* buffer, DWORD bufferSize, DWORD flags) {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = bufferSize;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = flags;
    return ofn;
}

const char* const kProjectFilter = "Velaset progetto (*.mip)|*.mip";
const char* const kExecutableFilter = "File eseguibile (*.exe)|*.exe";

std::wstring FileNamePart(const std::string& path) {
    std::string::size_type slash = path.find_last_of('\\');
    return Widen(slash == std::string::npos ? path : path.substr(slash + 1));
}

bool ChooseToSave(HWND owner, const char* title, const char* filter, const std::string& current,
                  std::string* path) {
    std::wstring wideTitle = Widen(title);
    std::wstring wideFilter = DialogFilter(filter);
    std::wstring name = FileNamePart(current);
    wchar_t buffer[256] = {};
    lstrcpynW(buffer, name.c_str(), 255);
    OPENFILENAMEW ofn = FileDialogFields(owner, wideTitle, wideFilter, buffer, 255,
                                         OFN_HIDEREADONLY | OFN_EXPLORER);
    if (!GetSaveFileNameW(&ofn)) {
        return false;
    }
    *path = Narrow(buffer);
    return true;
}

} // namespace

bool ChooseProjectToOpen(HWND owner, std::string* path) {
    std::wstring title = Widen("Apri progetto Velaset");
    std::wstring filter = DialogFilter(kProjectFilter);
    wchar_t buffer[1024] = {};
    OPENFILENAMEW ofn = FileDialogFields(owner, title, filter, buffer, 1024,
                                         OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER);
    if (!GetOpenFileNameW(&ofn)) {
        return false;
    }
    *path = Narrow(buffer);
    return true;
}

bool ChooseProjectToSave(HWND owner, const std::string& current, std::string* path) {
    return ChooseToSave(owner, "Salva progetto Velaset", kProjectFilter, current, path);
}

bool ChooseExecutableToSave(HWND owner, const std::string& current, std::string* path) {
    return ChooseToSave(owner, "Salva eseguibile Velaset", kExecutableFilter, current, path);
}

bool ChooseFilesToAdd(HWND owner, std::vector<std::string>* paths, std::string* folder) {
    std::wstring title = Widen("Aggiungi File");
    std::wstring filter = DialogFilter("Tutti i file|*.*");
    wchar_t buffer[1024] = {};
    wchar_t titleBuffer[512] = {};
    OPENFILENAMEW ofn = FileDialogFields(owner, title, filter, buffer, 1024,
                                         OFN_ALLOWMULTISELECT | OFN_EXPLORER |
                                             OFN_NODEREFERENCELINKS | OFN_LONGNAMES |
                                             OFN_HIDEREADONLY);
    ofn.lpstrFileTitle = titleBuffer;
    ofn.nMaxFileTitle = 512;
    if (!GetOpenFileNameW(&ofn)) {
        return false;
    }
    // The folder: the characters before the file-name offset, without the separator.
    std::wstring dir(buffer, ofn.nFileOffset > 0 ? ofn.nFileOffset - 1 : 0);
    *folder = Narrow(dir);
    const wchar_t* first = buffer + wcslen(buffer) + 1;
    paths->clear();
    if (*first == L'\0') {
        paths->push_back(Narrow(buffer)); // one file: its full path
        return true;
    }
    std::wstring base(buffer);
    for (const wchar_t* name = first; *name; name += wcslen(name) + 1) {
        std::wstring path = base;
        if (path.empty() || path.back() != L'\\') {
            path += L'\\';
        }
        paths->push_back(Narrow(path + name));
    }
    return true;
}

} // namespace win32ui

// Texts between UTF-8 and the UTF-16 of the windows.
#include "builder/win32/text.h"

#include <vector>

namespace win32ui {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &wide[0], n);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr,
                                nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::string WindowText(HWND window) {
    int n = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(n + 1);
    GetWindowTextW(window, buffer.data(), n + 1);
    return Narrow(buffer.data());
}

void SetWindowTextUtf8(HWND window, const std::string& text) {
    if (WindowText(window) != text) {
        SetWindowTextW(window, Widen(text).c_str());
    }
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetWindowTextUtf8(GetDlgItem(dialog, id), text);
}

std::string ListItemText(HWND list, int index) {
    LRESULT n = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR) {
        return std::string();
    }
    std::vector<wchar_t> buffer(n + 1);
    SendMessageW(list, LB_GETTEXT, index, (LPARAM)buffer.data());
    return Narrow(buffer.data());
}

void AddListItem(HWND list, const std::string& text) {
    SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)Widen(text).c_str());
}

void AddComboItem(HWND combo, const std::string& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)Widen(text).c_str());
}

namespace {

size_t StorageOf(const std::vector<std::string>& items) {
    size_t characters = 0;
    for (const std::string& item : items)
        characters += item.size() + 1;
    return characters * sizeof(WCHAR);
}

} // namespace

void FillListItems(HWND list, const std::vector<std::string>& items) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, items.size(), StorageOf(items));
    for (const std::string& item : items)
        AddListItem(list, item);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FillComboItems(HWND combo, const std::vector<std::string>& items) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SendMessageW(combo, CB_INITSTORAGE, items.size(), StorageOf(items));
    for (const std::string& item : items)
        AddComboItem(combo, item);
}

} // namespace win32ui

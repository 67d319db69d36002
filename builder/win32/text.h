// Texts between the project (UTF-8) and the windows (UTF-16).
#ifndef VELASET_BUILDER_WIN32_TEXT_H
#define VELASET_BUILDER_WIN32_TEXT_H

#include <windows.h>

#include <string>

namespace win32ui {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

std::string WindowText(HWND window);
// Sets the text only when it differs, so that the caret of an edit box stays put.
void SetWindowTextUtf8(HWND window, const std::string& text);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);

// List boxes and combo boxes: the text of one item, adding an item.
std::string ListItemText(HWND list, int index);
void AddListItem(HWND list, const std::string& text);
void AddComboItem(HWND combo, const std::string& text);

} // namespace win32ui

#endif

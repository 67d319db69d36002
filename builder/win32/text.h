// Texts between the project (UTF-8) and the windows (UTF-16).
#ifndef VELASET_BUILDER_WIN32_TEXT_H
#define VELASET_BUILDER_WIN32_TEXT_H

#include <windows.h>

#include <string>
#include <vector>

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

// A list box or a combo box emptied and filled with items in one pass: room for every
// item taken at once, and (a list box) no repaint until the last one is in, so that ten
// thousand items show at once.
void FillListItems(HWND list, const std::vector<std::string>& items);
void FillComboItems(HWND combo, const std::vector<std::string>& items);

} // namespace win32ui

#endif

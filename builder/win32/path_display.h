// Shortened path displays: a path fitted into its label with an ellipsis in the
// middle (file name kept), the full path as the label's tool tip when shortened.
#ifndef VELASET_BUILDER_WIN32_PATH_DISPLAY_H
#define VELASET_BUILDER_WIN32_PATH_DISPLAY_H

#include <windows.h>

#include <string>

namespace win32ui {

// One tool-tip window serves every path label of a top-level window.
HWND CreatePathTooltips(HWND owner);

// Shows fullPath in label, fitted into 97 % of its width with the font of `page`.
void ShowPath(HWND tooltips, HWND page, HWND label, const std::string& fullPath);

} // namespace win32ui

#endif

// The wizard's modal edit dialogs, the about box and the painted artwork.
#ifndef VELASET_BUILDER_WIN32_DIALOGS_H
#define VELASET_BUILDER_WIN32_DIALOGS_H

#include <windows.h>

#include "builder/project/project.h"

namespace win32ui {

class WizardWindow;

// frmDest for row `row` of the files list.
void ShowDestDialog(HWND owner, velaset::Project& project, int row, HICON icon);
// frmLink in add mode (row -1) or edit mode for a row of the links list.
void ShowLinkDialog(HWND owner, velaset::Project& project, int row, HICON icon);
// frmKeyreg in add mode (row -1) or edit mode for a registry entry.
void ShowKeyregDialog(HWND owner, velaset::Project& project, int row, HICON icon);
// frmMessage: the four installer messages.
void ShowMessageDialog(HWND owner, velaset::Project& project, HICON icon);
// frmAbout, shown without waiting; it shows the wizard again when it closes.
HWND ShowAboutBox(HINSTANCE instance, HWND wizard, WizardWindow* window);

// The pictures of the first and the last page.
void DrawArtwork(const DRAWITEMSTRUCT& item, HICON icon, HFONT font);

// A message box of a dialog that is kept on top: while it is shown the dialog is not.
void RefuseOnTop(HWND dialog, const std::string& message);

} // namespace win32ui

#endif

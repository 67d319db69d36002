// The common file dialogs of the wizard: open a project, save the project or the
// setup executable under a new name, add files to the list.
#ifndef VELASET_BUILDER_WIN32_FILE_DIALOGS_H
#define VELASET_BUILDER_WIN32_FILE_DIALOGS_H

#include <windows.h>

#include <string>
#include <vector>

namespace win32ui {

// A filter as description and pattern pairs separated by "|", in the NUL-separated
// form of the dialogs: a "|" is appended when missing, then every "|" becomes NUL.
std::wstring DialogFilter(const std::string& filter);

// "Apri progetto Velaset". False on cancel.
bool ChooseProjectToOpen(HWND owner, std::string* path);
// "Salva progetto Velaset", proposing the file name of current. False on cancel.
bool ChooseProjectToSave(HWND owner, const std::string& current, std::string* path);
// "Salva eseguibile Velaset", proposing the file name of current. False on cancel.
bool ChooseExecutableToSave(HWND owner, const std::string& current, std::string* path);

// "Aggiungi File": one or several files. *folder gets the chosen folder without a
// trailing "\". False on cancel or when the choice does not fit the name buffer.
bool ChooseFilesToAdd(HWND owner, std::vector<std::string>* paths, std::string* folder);

} // namespace win32ui

#endif

// The rules of the wizard page "Files da installare": the rows of the files list with
// their selection, the three buttons that need a selected row, adding the files chosen
// in the file dialog, deleting rows. The page's window shows this state.
#ifndef VELASET_BUILDER_DIALOGS_FILES_PAGE_H
#define VELASET_BUILDER_DIALOGS_FILES_PAGE_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/script/destination_code.h"

namespace velaset {

// What the open-file dialog returned: the folder the files were chosen from and the
// full path of each file, in the dialog's order.
struct ChosenFiles {
    std::string folder;
    std::vector<std::string> paths;
};

// Splits the dialog's file buffer: one full path, or a folder followed by several file
// names, all ended by NUL. fileNameOffset is where the (first) file name starts; the
// chosen folder is the text before it, less one character.
ChosenFiles SplitFileDialogResult(const std::string& buffer, size_t fileNameOffset);

class FilesPage {
  public:
    FilesPage(Project& project, DefaultFolders folders);

    // "&Aggiungi": every chosen file through VerificaLista, in order. Returns the texts
    // of the boxes to show (one per refused file), in order.
    std::vector<std::string> Add(const ChosenFiles& chosen);

    // A click on row `row` that leaves it selected or not; the buttons follow that row.
    void Click(int row, bool selected);
    bool IsSelected(int row) const;
    // "&Elimina", "Elimina &tutti" and "&Modifica dest." are enabled.
    bool ButtonsEnabled() const { return buttonsEnabled_; }
    // The right-button menu offers "&Modifica destinazione..." (not empty, row selected).
    bool MenuOffersDestination(int currentRow) const;

    // "&Elimina": every selected row goes, path and code together.
    void DeleteSelected();
    // "Elimina &tutti".
    void DeleteAll();

  private:
    void FitSelection();

    Project& project_;
    DefaultFolders folders_;
    std::vector<bool> selected_;
    bool buttonsEnabled_ = false;
};

} // namespace velaset

#endif

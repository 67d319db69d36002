// frmDest, the destination dialog ("Velaset - Destinazione file"): the destination code
// and the self-registration mark of one row of the files list. The window only shows
// these fields and forwards the user's choices.
#ifndef VELASET_BUILDER_DIALOGS_DEST_DIALOG_H
#define VELASET_BUILDER_DIALOGS_DEST_DIALOG_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

class DestDialog {
  public:
    static constexpr const char* Caption = "Velaset - Destinazione file";
    static constexpr const char* CheckText =
        "Registra DLL o OCX (deregistra alla disinstallazione)";

    // Opens the dialog for row `row` of the project's files list (which must exist).
    DestDialog(Project& project, int row);

    // The texts of the drop-down list, in table order.
    static std::vector<std::string> DestinationTexts();

    const std::string& Path() const { return path_; } // shown shortened by the window
    int SelectedIndex() const { return selected_; }   // -1 when no entry matched the code
    bool CheckVisible() const { return library_; }
    bool CheckEnabled() const { return checkEnabled_; }
    bool CheckTicked() const { return ticked_; }

    // The user selects entry `index` of the drop-down (0..4).
    void Select(int index);
    // The user ticks or unticks the check box; ignored while it is hidden or disabled.
    void SetTicked(bool ticked);

    // "OK": the selected letter, with the mark when ticked, becomes the row's code.
    // With no entry selected the code stays as it was.
    void Ok();
    // The code that OK would write.
    std::string Code() const;

  private:
    Project& project_;
    int row_;
    std::string path_;
    bool library_ = false;
    int selected_ = -1;
    bool checkEnabled_ = false;
    bool ticked_ = false;
};

} // namespace velaset

#endif

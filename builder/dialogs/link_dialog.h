// frmLink, the link dialog: adds a link to a project file or edits one, in the program
// group ("P") or on the desktop ("D").
#ifndef VELASET_BUILDER_DIALOGS_LINK_DIALOG_H
#define VELASET_BUILDER_DIALOGS_LINK_DIALOG_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

// What a button press did: closed (the dialog goes away) or a refusal to show in a
// "Velaset" box with the exclamation icon while the dialog stays open.
struct DialogResult {
    bool closed = false;
    std::string message;
};

class LinkDialog {
  public:
    static constexpr const char* EmptyMessage = "Le voci non possono essere vuote.";
    static constexpr const char* NameCharactersMessage =
        "Il nome del collegamento non può contenere virgole o virgolette.";

    // Add mode: files offered are those whose destination entry is exactly "D".
    static LinkDialog ForNew(Project& project);
    // Edit mode for row `row` of the links list (which must exist).
    static LinkDialog ForEdit(Project& project, int row);

    bool IsEdit() const { return row_ >= 0; }
    std::string Caption() const;

    // "File da linkare:" and its selection (-1: none).
    const std::vector<std::string>& FileChoices() const { return files_; }
    int SelectedFile() const { return selectedFile_; }
    // Choosing a file proposes its name before the first "." as the link name.
    void ChooseFile(int index);

    // "Nome del collegamento:"
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // "Destinazione del link:": 0 "P - Gruppo del programma", 1 "D - Desktop".
    static std::vector<std::string> DestinationTexts();
    int SelectedDestination() const { return destination_; }
    void ChooseDestination(int index);

    // "&Salva": refuses empty entries; in add mode an identical link is not added twice.
    DialogResult Save();

  private:
    LinkDialog(Project& project, int row) : project_(project), row_(row) {}

    Project& project_;
    int row_; // -1 in add mode
    std::vector<std::string> files_;
    int selectedFile_ = -1;
    std::string name_;
    int destination_ = 0;
};

} // namespace velaset

#endif

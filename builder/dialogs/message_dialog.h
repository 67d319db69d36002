// frmMessage, "Messaggi generali del programma": the four installer messages.
#ifndef VELASET_BUILDER_DIALOGS_MESSAGE_DIALOG_H
#define VELASET_BUILDER_DIALOGS_MESSAGE_DIALOG_H

#include <array>
#include <string>

#include "builder/project/project.h"

namespace velaset {

class MessageDialog {
  public:
    static constexpr const char* Caption = "Messaggi generali del programma";

    // The boxes in the order of the dialog.
    enum Box { Errore = 0, Stop = 1, Browse = 2, Disinstalla = 3 };
    static constexpr int BoxCount = 4;

    // The label above each box.
    static const char* Label(Box box);
    // The box named by its project-file key ("Errore", "Stop", "Browse", "Disinstalla");
    // false when the name is none of them.
    static bool BoxNamed(const std::string& key, Box* box);

    // Each box shows the current message.
    explicit MessageDialog(Project& project);

    const std::string& Text(Box box) const { return texts_[box]; }
    // The uninstall question has no use in a distribution-only package: its box and
    // label are disabled while Distribuzione is set.
    bool Enabled(Box box) const;
    // Typing into a box; ignored for a disabled box.
    void SetText(Box box, const std::string& text);

    // "OK": every non-empty box replaces its message; an empty box keeps the old one.
    void Ok();

  private:
    Project& project_;
    std::array<std::string, BoxCount> texts_;
};

} // namespace velaset

#endif

// The rules of the installer messages dialog.
#include "builder/dialogs/message_dialog.h"

namespace velaset {

namespace {

std::string* MessageOf(Project& project, MessageDialog::Box box) {
    switch (box) {
    case MessageDialog::Errore:
        return &project.Errore;
    case MessageDialog::Stop:
        return &project.Stop;
    case MessageDialog::Browse:
        return &project.Browse;
    case MessageDialog::Disinstalla:
        return &project.Disinstalla;
    }
    return nullptr;
}

const char* const Keys[] = {"Errore", "Stop", "Browse", "Disinstalla"};

} // namespace

const char* MessageDialog::Label(Box box) {
    static const char* const labels[] = {
        "Messaggio che appare in caso di errore:",
        "Messaggio che appare se l'installazione viene interrotta:",
        "Etichetta della casella di testo per la scelta della cartella di installazione:",
        "Etichetta della schermata di avviso della disinstallazione:",
    };
    return labels[box];
}

bool MessageDialog::BoxNamed(const std::string& key, Box* box) {
    for (int i = 0; i < BoxCount; ++i) {
        if (key == Keys[i]) {
            *box = static_cast<Box>(i);
            return true;
        }
    }
    return false;
}

MessageDialog::MessageDialog(Project& project) : project_(project) {
    for (int i = 0; i < BoxCount; ++i) {
        texts_[i] = *MessageOf(project_, static_cast<Box>(i));
    }
}

bool MessageDialog::Enabled(Box box) const {
    return box != Disinstalla || project_.Distribuzione() != 1;
}

void MessageDialog::SetText(Box box, const std::string& text) {
    if (Enabled(box)) {
        texts_[box] = text;
    }
}

void MessageDialog::Ok() {
    for (int i = 0; i < BoxCount; ++i) {
        if (!texts_[i].empty()) {
            *MessageOf(project_, static_cast<Box>(i)) = texts_[i];
        }
    }
}

} // namespace velaset

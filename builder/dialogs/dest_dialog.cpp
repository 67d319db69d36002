// The rules of the destination dialog.
#include "builder/dialogs/dest_dialog.h"

#include "builder/script/destination_code.h"

namespace velaset {

DestDialog::DestDialog(Project& project, int row) : project_(project), row_(row) {
    const FileEntry& entry = project_.Files().at(static_cast<size_t>(row));
    path_ = entry.path;
    library_ = IsSelfRegisterFile(entry.path);
    const auto& codes = DestinationCodes();
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i].code == CodeOf(entry.destination)) {
            selected_ = static_cast<int>(i);
        }
    }
    checkEnabled_ = library_ && selected_ >= 0 && CodeAllowsSelfRegister(codes[selected_].code);
    // A mark where it cannot be honoured (a "W*" library) is not carried over.
    ticked_ = checkEnabled_ && HasSelfRegisterMark(entry.destination);
}

std::vector<std::string> DestDialog::DestinationTexts() {
    std::vector<std::string> texts;
    for (const DestinationInfo& info : DestinationCodes()) {
        texts.emplace_back(info.listText);
    }
    return texts;
}

void DestDialog::Select(int index) {
    const auto& codes = DestinationCodes();
    if (index < 0 || index >= static_cast<int>(codes.size())) {
        return;
    }
    selected_ = index;
    checkEnabled_ = library_ && CodeAllowsSelfRegister(codes[index].code);
    if (!checkEnabled_) {
        ticked_ = false;
    }
}

void DestDialog::SetTicked(bool ticked) {
    if (library_ && checkEnabled_) {
        ticked_ = ticked;
    }
}

std::string DestDialog::Code() const {
    if (selected_ < 0) {
        return project_.Files().at(static_cast<size_t>(row_)).destination;
    }
    std::string code(1, DestinationCodes()[selected_].code);
    if (ticked_) {
        code += SelfRegisterMark;
    }
    return code;
}

void DestDialog::Ok() {
    project_.SetFileDestination(row_, Code());
}

} // namespace velaset

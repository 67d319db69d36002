// The rules of the link dialog.
#include "builder/dialogs/link_dialog.h"

#include "builder/project/project_fields.h"

#include "platform/source_path.h"

namespace velaset {

namespace {
const char* const LocationLetters[] = {"P", "D"};
}

LinkDialog LinkDialog::ForNew(Project& project) {
    LinkDialog dialog(project, -1);
    for (const FileEntry& entry : project.Files()) {
        if (entry.destination == "D") {
            dialog.files_.push_back(platform::SourceFileName(entry.path));
        }
    }
    return dialog;
}

LinkDialog LinkDialog::ForEdit(Project& project, int row) {
    LinkDialog dialog(project, row);
    const LinkEntry& link = project.Links().at(static_cast<size_t>(row));
    dialog.files_.push_back(link.file);
    dialog.selectedFile_ = 0;
    dialog.name_ = link.name;
    dialog.destination_ = link.location == "D" ? 1 : 0;
    return dialog;
}

std::string LinkDialog::Caption() const {
    return IsEdit() ? "Velaset - Modifica link" : "Velaset - Nuovo link";
}

void LinkDialog::ChooseFile(int index) {
    if (index < 0 || index >= static_cast<int>(files_.size())) {
        return;
    }
    selectedFile_ = index;
    const std::string& file = files_[index];
    name_ = file.substr(0, file.find('.'));
}

std::vector<std::string> LinkDialog::DestinationTexts() {
    return {"P - Gruppo del programma", "D - Desktop"};
}

void LinkDialog::ChooseDestination(int index) {
    if (index == 0 || index == 1) {
        destination_ = index;
    }
}

DialogResult LinkDialog::Save() {
    // A link must name a file: one with an empty file name would be dropped by the next
    // load, so a missing choice is refused like an empty name.
    if (name_.empty() || files_.empty() || selectedFile_ < 0) {
        return {false, EmptyMessage};
    }
    // The link is stored as file,name,location and its name stands unquoted in the
    // script's link line, so a comma or a quote would cut it on the next load.
    if (name_.find_first_of(",\"") != std::string::npos) {
        return {false, NameCharactersMessage};
    }
    const LinkEntry link{files_[selectedFile_], name_, LocationLetters[destination_]};
    // What else the table of fields refuses in a link's file or name.
    for (const auto& part :
         {std::make_pair("Link file", &link.file), std::make_pair("Link nome", &link.name)}) {
        const std::string reason = FieldValueReason(*FindFieldRule(part.first), *part.second);
        if (!reason.empty()) {
            return {false, std::string(part.first[5] == 'f' ? "Il file" : "Il nome") +
                               " del collegamento (\"" + *part.second + "\") " + reason + "."};
        }
    }
    if (IsEdit()) {
        project_.ReplaceLink(row_, link);
        return {true, ""};
    }
    for (const LinkEntry& existing : project_.Links()) {
        if (existing == link) {
            return {true, ""};
        }
    }
    platform::Status status = project_.AddLink(link);
    if (!status) {
        return {false, status.message};
    }
    return {true, ""};
}

} // namespace velaset

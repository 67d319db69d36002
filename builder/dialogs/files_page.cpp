// The rules of the files page.
#include "builder/dialogs/files_page.h"

#include "builder/script/verifica_lista.h"
#include "platform/source_path.h"

namespace velaset {

ChosenFiles SplitFileDialogResult(const std::string& buffer, size_t fileNameOffset) {
    ChosenFiles chosen;
    if (fileNameOffset == 0 || fileNameOffset > buffer.size()) {
        return chosen;
    }
    chosen.folder = buffer.substr(0, fileNameOffset - 1);
    // One file: the buffer holds its whole path, the folder ends where its name starts.
    const size_t firstEnd = buffer.find('\0');
    if (firstEnd == std::string::npos || firstEnd > fileNameOffset) {
        chosen.paths.push_back(buffer.substr(0, firstEnd));
        return chosen;
    }
    // Several: the folder, then one name after another up to an empty one.
    for (size_t start = fileNameOffset; start < buffer.size();) {
        const size_t end = buffer.find('\0', start);
        const std::string name = buffer.substr(start, end == std::string::npos ? end : end - start);
        if (name.empty()) {
            break;
        }
        chosen.paths.push_back(platform::JoinSourcePath(chosen.folder, name));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return chosen;
}

FilesPage::FilesPage(Project& project, DefaultFolders folders)
    : project_(project), folders_(std::move(folders)) {
    FitSelection();
}

void FilesPage::FitSelection() {
    selected_.resize(project_.Files().size(), false);
}

std::vector<std::string> FilesPage::Add(const ChosenFiles& chosen) {
    std::vector<std::string> boxes;
    VerificaLista check(project_, folders_);
    for (const std::string& path : chosen.paths) {
        const AddResult result = check.Add(path, chosen.folder);
        if (!result.message.empty()) {
            boxes.push_back(result.message);
        }
    }
    FitSelection();
    return boxes;
}

void FilesPage::Click(int row, bool selected) {
    FitSelection();
    if (row < 0 || row >= static_cast<int>(selected_.size())) {
        return;
    }
    selected_[row] = selected;
    buttonsEnabled_ = selected;
}

bool FilesPage::IsSelected(int row) const {
    return row >= 0 && row < static_cast<int>(selected_.size()) && selected_[row];
}

bool FilesPage::MenuOffersDestination(int currentRow) const {
    return !project_.Files().empty() && IsSelected(currentRow);
}

void FilesPage::DeleteSelected() {
    FitSelection();
    for (int row = static_cast<int>(selected_.size()) - 1; row >= 0; --row) {
        if (selected_[row]) {
            project_.RemoveFileAt(row);
            selected_.erase(selected_.begin() + row);
        }
    }
    buttonsEnabled_ = false;
}

void FilesPage::DeleteAll() {
    project_.ClearFiles();
    selected_.clear();
    buttonsEnabled_ = false;
}

} // namespace velaset

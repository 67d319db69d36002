// Title propagation: the new title replaces the old one in the texts and paths that
// were made from it.
#include "builder/project/project.h"

namespace velaset {
namespace {

void ReplaceFirst(std::string* text, const std::string& oldTitle, const std::string& newTitle) {
    size_t at = text->find(oldTitle);
    if (at != std::string::npos)
        text->replace(at, oldTitle.size(), newTitle);
}

} // namespace

void Project::BeginTitleEdit() {
    oldTitle_ = Titolo;
}

void Project::EndTitleEdit() {
    PropagateTitle(oldTitle_, Titolo);
}

void Project::SetTitleAsTyped(const std::string& newTitle) {
    BeginTitleEdit();
    Titolo = newTitle;
    EndTitleEdit();
}

void Project::PropagateTitle(const std::string& oldTitle, const std::string& newTitle) {
    // An empty old title would "occur" at the start of every field.
    if (oldTitle.empty())
        return;
    for (std::string* field : {&Etic2A, &Caption, &Etic1A, &NomeGruppo, &CaptionB, &EticB,
                               &LabelControl, &ExeFile, &ProgFile})
        ReplaceFirst(field, oldTitle, newTitle);
}

} // namespace velaset

// The rules of the registry-entry dialog.
#include "builder/dialogs/keyreg_dialog.h"

#include "builder/project/project_fields.h"

namespace velaset {

namespace {
const char Quote = '"';
}

KeyregDialog KeyregDialog::ForNew(Project& project) {
    return KeyregDialog(project, -1);
}

KeyregDialog KeyregDialog::ForEdit(Project& project, int row) {
    KeyregDialog dialog(project, row);
    const std::string& entry = project.RegistryEntries().at(static_cast<size_t>(row));
    const std::vector<std::string> tokens = RootTokens();
    const std::string root = GetField(entry, ',', 1);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (root == tokens[i]) {
            dialog.root_ = static_cast<int>(i);
        }
    }
    dialog.subkey_ = GetField(entry, ',', 2);
    dialog.name_ = GetField(entry, Quote, 2);
    dialog.custom_ = !dialog.name_.empty();
    dialog.value_ = GetField(entry, Quote, 4);
    return dialog;
}

std::string KeyregDialog::Caption() const {
    return IsEdit() ? "Velaset - Modifica voce del registro di configurazione"
                    : "Velaset - Aggiungi voce nel registro di configurazione";
}

std::vector<std::string> KeyregDialog::RootTexts() {
    return {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
}

std::vector<std::string> KeyregDialog::RootTokens() {
    return {"HKCR", "HKCU", "HKLM", "HCU"};
}

void KeyregDialog::ChooseRoot(int index) {
    if (index >= 0 && index < 4) {
        root_ = index;
    }
}

void KeyregDialog::ChooseDefaultName() {
    custom_ = false;
    name_.clear();
}

void KeyregDialog::ChooseCustomName() {
    custom_ = true;
}

void KeyregDialog::SetName(const std::string& text) {
    if (custom_) {
        name_ = text;
    }
}

std::string KeyregDialog::EntryText() const {
    const std::string name = custom_ ? name_ : "";
    return RootTokens()[root_] + "," + subkey_ + "," + Quote + name + Quote + ",," + Quote +
           value_ + Quote;
}

KeyregDialog::Result KeyregDialog::Ok() {
    if (subkey_.empty()) {
        return {false, "Devi inserire una sottochiave.", Field::Subkey};
    }
    if (custom_ && name_.empty()) {
        return {false, "Devi inserire un nome personalizzato.", Field::Name};
    }
    if (value_.empty()) {
        return {false, "Devi inserire un valore.", Field::Value};
    }
    // The entry is split again at its commas and quotes (by the edit mode, the load and
    // the script's removal section), so a subkey with a comma or a name or value with a
    // quote would come back cut; such input is refused rather than stored broken.
    if (subkey_.find(',') != std::string::npos) {
        return {false, "La sottochiave non può contenere virgole.", Field::Subkey};
    }
    // In the script a quote would open a quoted text and a semicolon start a comment,
    // which would cut the key short (and its removal would take the shorter key).
    if (subkey_.find_first_of("\";") != std::string::npos) {
        return {false, "La sottochiave non può contenere virgolette né punti e virgola.",
                Field::Subkey};
    }
    if (name_.find(Quote) != std::string::npos) {
        return {false, "Il nome non può contenere virgolette.", Field::Name};
    }
    if (value_.find(Quote) != std::string::npos) {
        return {false, "Il valore non può contenere virgolette.", Field::Value};
    }
    // What else the table of fields refuses in the parts of an entry.
    const struct {
        const char* rule;
        const char* part;
        const std::string& text;
        Field field;
    } parts[] = {{"Chiavi sottochiave", "La sottochiave", subkey_, Field::Subkey},
                 {"Chiavi nome", "Il nome", name_, Field::Name},
                 {"Chiavi valore", "Il valore", value_, Field::Value}};
    for (const auto& part : parts) {
        const std::string reason = FieldValueReason(*FindFieldRule(part.rule), part.text);
        if (!reason.empty()) {
            return {false, std::string(part.part) + " (\"" + part.text + "\") " + reason + ".",
                    part.field};
        }
    }
    if (IsEdit()) {
        project_.ReplaceRegistryEntry(row_, EntryText());
        return {true, "", Field::None};
    }
    platform::Status status = project_.AddRegistryEntry(EntryText());
    if (!status) {
        return {false, status.message, Field::None};
    }
    return {true, "", Field::None};
}

} // namespace velaset

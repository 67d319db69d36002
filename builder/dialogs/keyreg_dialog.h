// frmKeyreg, the registry-entry dialog: builds one registry entry in the form of an INF
// AddReg line (root,subkey,"name",,"value") and adds it to the list or replaces one.
#ifndef VELASET_BUILDER_DIALOGS_KEYREG_DIALOG_H
#define VELASET_BUILDER_DIALOGS_KEYREG_DIALOG_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

class KeyregDialog {
  public:
    // The field that takes the focus after a refusal.
    enum class Field { None, Subkey, Name, Value };

    struct Result {
        bool closed = false;
        std::string message; // refusal for a "Velaset" box, exclamation icon
        Field focus = Field::None;
    };

    // Add mode with empty fields; edit mode filled from entry `row` (which must exist).
    static KeyregDialog ForNew(Project& project);
    static KeyregDialog ForEdit(Project& project, int row);

    bool IsEdit() const { return row_ >= 0; }
    std::string Caption() const;

    // "Chiave principale:" 0 HKEY_CLASSES_ROOT .. 3 HKEY_USERS; 2 when the dialog opens.
    static std::vector<std::string> RootTexts();
    static std::vector<std::string> RootTokens(); // "HKCR", "HKCU", "HKLM", "HCU"
    int Root() const { return root_; }
    void ChooseRoot(int index);

    const std::string& Subkey() const { return subkey_; }
    void SetSubkey(const std::string& text) { subkey_ = text; }

    // "Nome predefinito" (the default value) or "Nome personalizzato" (a named value);
    // the name box is editable only for the latter and emptied by the former.
    bool CustomName() const { return custom_; }
    bool NameEditable() const { return custom_; }
    void ChooseDefaultName();
    void ChooseCustomName();
    const std::string& Name() const { return name_; }
    void SetName(const std::string& text);

    const std::string& Value() const { return value_; }
    void SetValue(const std::string& text) { value_ = text; }

    // The entry text the dialog's fields give.
    std::string EntryText() const;

    // "OK": checks the fields in order, then adds or replaces the entry.
    Result Ok();

  private:
    KeyregDialog(Project& project, int row) : project_(project), row_(row) {}

    Project& project_;
    int row_; // -1 in add mode
    int root_ = 2;
    std::string subkey_;
    bool custom_ = false;
    std::string name_;
    std::string value_;
};

} // namespace velaset

#endif

// Field checks made before a setup script is written, so that no line is ever broken.
#include "builder/script/script_fields.h"

#include "builder/project/field_encoding.h"

namespace velaset {

platform::Status CheckScriptField(const ScriptField& field) {
    if (field.text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return platform::Status::Failed("Il campo " + field.name +
                                        " contiene un ritorno a capo che spezzerebbe la sua "
                                        "riga nel file inf.");
    }
    std::string ansi;
    return FieldToWindows1252(field.name, field.text, &ansi);
}

platform::Status CheckScriptFields(const std::vector<ScriptField>& fields) {
    for (const ScriptField& field : fields) {
        platform::Status status = CheckScriptField(field);
        if (!status) {
            return status;
        }
    }
    return platform::Status::Ok();
}

} // namespace velaset

// The check that every project text can stand in its line of the setup script.
#ifndef VELASET_BUILDER_SCRIPT_SCRIPT_FIELDS_H
#define VELASET_BUILDER_SCRIPT_SCRIPT_FIELDS_H

#include <string>
#include <vector>

#include "platform/status.h"

namespace velaset {

// One text that goes into the script, named as the project file names it.
struct ScriptField {
    std::string name; // "Caption", "Files 3", "Link 1", "Chiavi 2", ...
    std::string text; // UTF-8, exactly as it will be written
};

// Refuses the first field that holds a line break (or a NUL), which would cut its line
// in two, or a character that Windows-1252 cannot hold; the message names the field.
platform::Status CheckScriptField(const ScriptField& field);

// CheckScriptField for every field in order; stops at the first refusal.
platform::Status CheckScriptFields(const std::vector<ScriptField>& fields);

} // namespace velaset

#endif

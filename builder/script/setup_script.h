// The setup script "setup.inf": the full variant (CreaInf) and the distribution-only
// variant (CreaInfDistribuzione), built as text from the project.
#ifndef VELASET_BUILDER_SCRIPT_SETUP_SCRIPT_H
#define VELASET_BUILDER_SCRIPT_SETUP_SCRIPT_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/script/script_text.h"

namespace velaset {

enum class ScriptVariant {
    Full,             // CreaInf: runtime library, uninstall support, links
    DistributionOnly, // CreaInfDistribuzione: the files and registry entries only
};

// The script text of `project`, lines ended by CR LF, still in UTF-8. `files` holds the
// project's files in list order with their short names already resolved. No field is
// checked here; CheckScriptFields does that before a script is written.
std::string SetupScriptText(const Project& project, const std::vector<ScriptFile>& files,
                            ScriptVariant variant);

// The registry root that the INF installer knows for a root token of the project:
// "HCU" (HKEY_USERS as the project spells it) becomes "HKU"; others stay.
std::string RegistryEntryForScript(const std::string& entry);

} // namespace velaset

#endif

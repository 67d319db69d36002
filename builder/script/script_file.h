// Writing the setup script to disk: short names resolved, every field checked, the text
// converted to Windows-1252 and written under a temporary name that takes the script's
// name only once it is complete, so a failed write never leaves a partial script.
#ifndef VELASET_BUILDER_SCRIPT_SCRIPT_FILE_H
#define VELASET_BUILDER_SCRIPT_SCRIPT_FILE_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/script/script_fields.h"
#include "builder/script/script_text.h"
#include "builder/script/setup_script.h"
#include "platform/status.h"

namespace velaset {

// The project's files as the script names them, each under its package name
// (package_names.h). Fails, naming the file, when the
// system gives no short form for one (the file has vanished since it was added).
platform::Status ResolveScriptFiles(const Project& project, std::vector<ScriptFile>* files);

// Every text that `variant` writes into its lines, named after its project-file key.
std::vector<ScriptField>
ScriptFieldsOf(const Project& project, const std::vector<ScriptFile>& files, ScriptVariant variant);

// The whole script as the bytes of the file (Windows-1252, CR LF), or a refusal that
// names the file or field at fault; nothing is written.
platform::Status BuildSetupScript(const Project& project, ScriptVariant variant,
                                  std::string* bytes);

// CreaInf / CreaInfDistribuzione: writes the script of `project` to `path`. On failure
// the message carries the path and the reason, and `path` is left as it was.
platform::Status WriteSetupScript(const Project& project, ScriptVariant variant,
                                  const std::string& path);

// The variant the build chooses: distribution-only when the project's flag is set.
ScriptVariant VariantOf(const Project& project);

// TempFolder() + the separator + "setup.inf": where the build writes the script.
std::string DefaultScriptPath();

} // namespace velaset

#endif

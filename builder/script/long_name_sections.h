// The long-file-name sections of the setup script: for each destination folder, registry
// entries in the layout of the setup engine's RenameFiles and DeleteFiles keys that map
// each 8.3 name of a long-named file back to its long name.
#ifndef VELASET_BUILDER_SCRIPT_LONG_NAME_SECTIONS_H
#define VELASET_BUILDER_SCRIPT_LONG_NAME_SECTIONS_H

#include <vector>

#include "builder/script/script_text.h"

namespace velaset {

// True when the file's name and its short name differ once both are upper-cased.
bool HasLongName(const ScriptFile& file);

// Writes [SplashRenameFiles<code>] and [SplashRemoveLFNs<code>], each after a blank line,
// when some file's entry begins with `code`; writes nothing otherwise. The keys are under
// root: HKLM, or HKCU for a package for one user.
void SezioniNomiLunghi(ScriptText& out, const std::vector<ScriptFile>& files, char code,
                       const char* root = "HKLM");

} // namespace velaset

#endif

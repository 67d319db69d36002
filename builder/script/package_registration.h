// How a full package registers itself on the machine: the registry root of its uninstall
// entry and long-name keys (HKLM for the machine, HKCU for one user), its uninstall
// command, and for a package with the package keys (package_keys.h) the values that Apps
// & Features shows and the key by which a later version finds the installed one.
#ifndef VELASET_BUILDER_SCRIPT_PACKAGE_REGISTRATION_H
#define VELASET_BUILDER_SCRIPT_PACKAGE_REGISTRATION_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/script/script_text.h"

namespace velaset {

// "HKLM" for a package for the machine, "HKCU" for one for the user.
const char* ScopeRoot(const Project& project);

// The uninstall command: the runtime in the system folder for the machine, the copy in
// the installation folder for one user (which cannot write the system folder).
std::string UninstallCommand(const Project& project);

// The [Strings] value PROGDIR: the placeholder PROGDIR (the program-files folder is
// proposed), or for one user the environment's path of the user's programs folder.
std::string ProgDirPlaceholder(const Project& project);

// [DestinationDirs] of the runtime: the system folder, or the installation folder.
std::string RuntimeDestinationLine(const Project& project);

// [Version] UninstallKey=ROOT,Software\...\Uninstall\TITLE: where the installer finds the
// folder of an installed version (its InstallLocation). Only for packages with the package
// keys; "" for the others.
std::string UninstallKeyLine(const Project& project);

// The [Strings] line that the runtime fills with the long form of the installation folder
// before the script runs; "" for packages without the package keys.
std::string LongProgDirLine(const Project& project);

// The values of the uninstall key beyond DisplayName and UninstallString, as lines of
// [Splash.AddRegEntries] under key (ROOT,Software\...\Uninstall\TITLE); none for packages
// without the package keys.
void WriteAppsAndFeaturesValues(ScriptText& out, const Project& project,
                                const std::vector<ScriptFile>& files, const std::string& key);

} // namespace velaset

#endif

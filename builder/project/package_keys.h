// The optional keys of [Progetto] that describe the installed package to the machine:
// Versione, Editore, SitoWeb and Ambito. Each is stored only when set (a project without
// them loads, saves and builds as it always did), and each has one rule of what it may
// hold, used by the load, `velaset set`, the wizard and the build.
#ifndef VELASET_BUILDER_PROJECT_PACKAGE_KEYS_H
#define VELASET_BUILDER_PROJECT_PACKAGE_KEYS_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// The names of the four keys, in the order of the save.
const std::vector<const char*>& PackageKeyNames();

// The key's value as the project file stores it; "" when the key is not set (Ambito
// "macchina" counts as not set).
std::string PackageKeyText(const Project& project, const std::string& key);

// Sets the key from text ("" unsets it); returns null when done, else why text cannot be
// its value, and the project is unchanged. Ambito takes "macchina" or "utente" in any
// letter case.
const char* SetPackageKey(Project* project, const std::string& key, const std::string& text);

// Every key's value in its form (the wizard's fields hold what was typed); the refusal
// names the first key that is not: "Il campo KEY RULE."
platform::Status CheckPackageKeys(const Project& project);

// The written form of the key when the project file had it and the project no longer
// sets it: "" for the texts, "macchina" for Ambito.
const char* PackageKeyDefault(const std::string& key);

// Any of the four set: the package registers itself fully for Apps & Features and can be
// recognised by a later version.
bool HasPackageKeys(const Project& project);

// A package for one user installs without an administrator, so everything it writes must
// be the user's: files into the installation folder only, registry entries under HKCU,
// no libraries to register, and a package with its uninstall. The refusal names every
// entry that is not; Ok for a package for the machine.
platform::Status CheckScope(const Project& project);

} // namespace velaset

#endif

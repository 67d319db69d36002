// The three manifests that publish a setup executable in the Windows Package Manager's
// catalogue (winget): the version manifest, the installer manifest and the default
// locale's manifest, schema 1.6.0, as UTF-8 YAML texts.
#ifndef VELASET_BUILDER_PACKAGE_WINGET_MANIFESTS_H
#define VELASET_BUILDER_PACKAGE_WINGET_MANIFESTS_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// What the manifests say of the setup executable itself.
struct WingetInstaller {
    std::string url;       // where winget downloads it: http:// or https://
    std::string sha256;    // its SHA-256, 64 hexadecimal digits
    Architecture architecture = Architecture::X86;
    std::string license;   // the package's licence; "" for "Proprietary"
    std::string description; // its short description; "" for the first line of Etic2A
};

struct WingetManifest {
    std::string fileName; // IDENTIFIER.yaml, IDENTIFIER.installer.yaml, IDENTIFIER.locale.it-IT.yaml
    std::string text;
};

// The package identifier: Editore and Titolo without the characters winget refuses in
// it (blanks, dots, \ / : * ? " < > | and control characters), each cut to 32
// characters, joined by a dot. "" when either comes out empty.
std::string WingetIdentifier(const Project& project);

// The three manifests of a package of the project: refused, naming them, when the project
// lacks Versione or Editore, when its identifier comes out empty, or when the address is
// not http:// or https://.
platform::Status WingetManifests(const Project& project, const WingetInstaller& installer,
                                 std::vector<WingetManifest>* manifests);

} // namespace velaset

#endif

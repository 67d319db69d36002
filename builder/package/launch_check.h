// The program that the setup starts at the end (ChkLancio, Lancio) must be a file that
// the package installs into the installation folder: the setup runs it from there.
#ifndef VELASET_BUILDER_PACKAGE_LAUNCH_CHECK_H
#define VELASET_BUILDER_PACKAGE_LAUNCH_CHECK_H

#include <string>

#include "builder/project/project.h"

namespace velaset {

// "" when nothing is to be started or Lancio names a file of the list whose destination
// is the installation folder (D or D*): its file name, in any letter case. The installer
// opens the file by its name in the installation folder, with no parameters (it takes
// everything after the last "\", "/" or ":" of its Run line as the name), so a name
// followed by parameters, or quoted, could not be started. Otherwise the Italian
// sentence that tells the user why the package is not made.
std::string LaunchRefusal(const Project& project);

} // namespace velaset

#endif

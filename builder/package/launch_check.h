// The program that the setup starts at the end (ChkLancio, Lancio) must be a file that
// the package installs into the installation folder: the setup runs it from there.
#ifndef VELASET_BUILDER_PACKAGE_LAUNCH_CHECK_H
#define VELASET_BUILDER_PACKAGE_LAUNCH_CHECK_H

#include <string>

#include "builder/project/project.h"

namespace velaset {

// "" when nothing is to be started or Lancio names a file of the list whose destination
// is the installation folder (D or D*): its file name, in any letter case, alone or
// followed by a blank and the program's parameters, quoted or not. Otherwise the Italian
// sentence that tells the user why the package is not made.
std::string LaunchRefusal(const Project& project);

} // namespace velaset

#endif

// The checks of a build that every library it packs suits the package's architecture.
// The setup runtime runs in the system folder of the installing stub's architecture;
// a library to register is registered by the regsvr32 of that architecture, which
// cannot load a library of the other one: the package would install and register
// nothing of it, and say nothing.
#ifndef VELASET_BUILDER_PACKAGE_ARCHITECTURE_CHECKS_H
#define VELASET_BUILDER_PACKAGE_ARCHITECTURE_CHECKS_H

#include <string>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// The runtime library at path must be a library of the architecture. A refusal
// (ErrorKind::Refused) names the file and what it is; a file that cannot be read
// fails with its path (Operation::Read).
platform::Status CheckRuntimeLibrary(const std::string& path, Architecture architecture);

// Every file that the project registers (the mark on the codes D and S) and that is a
// 32-bit or 64-bit Windows library must be one of the architecture; the first that is
// not is refused by name. Files that cannot be read, or that are no Windows library,
// are left to the later steps, as before.
platform::Status CheckSelfRegisteredLibraries(const Project& project, Architecture architecture);

} // namespace velaset

#endif

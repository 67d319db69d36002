// How a program of the builder reaches the cabinet library's one entry point.
#ifndef VELASET_BUILDER_PACKAGE_COMPRIMI_BINDING_H
#define VELASET_BUILDER_PACKAGE_COMPRIMI_BINDING_H

#include "builder/package/cabinet_step.h"
#include "platform/status.h"

namespace velaset {

// The native programs answer the linked Comprimi; the Windows programs load
// "Compress.dll" by name (beside the program or on the system's search path) and
// answer its export. A library that cannot be loaded is refused with its name.
platform::Status BindComprimi(ComprimiFunction* comprimi);

} // namespace velaset

#endif

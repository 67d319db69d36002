// Binding a function of a shared library by the library's name at run time, as the
// Windows programs bind "Compress.dll".
#ifndef VELASET_PLATFORM_LIBRARY_LOADER_H
#define VELASET_PLATFORM_LIBRARY_LOADER_H

#include <string>

#include "platform/status.h"

namespace platform {

// Loads the library (kept loaded until the process ends) and finds the exported
// function; *function gets its address.
Status LoadLibraryFunction(const std::string& library, const std::string& name, void** function);

} // namespace platform

#endif

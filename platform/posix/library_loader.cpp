// POSIX implementation of platform/library_loader.h: the native programs link the
// libraries they need, so nothing is loaded by name here.
#include "platform/library_loader.h"

namespace platform {

Status LoadLibraryFunction(const std::string& library, const std::string& name, void** function) {
    *function = nullptr;
    return Status::Failed("LoadLibrary(" + library + "): libraries are linked into the native "
                          "programs, " + name + " is not loaded by name");
}

} // namespace platform

// POSIX implementation of platform/library_loader.h: the native programs link the
// libraries they need, so nothing is loaded by name here.
#include "platform/library_loader.h"

namespace platform {

Status LoadLibraryFunction(const std::string& library, const std::string& name, void** function) {
    *function = nullptr;
    // The native programs never ask: their libraries are linked in.
    return Status::Failed(name + " non si carica per nome: " + library +
                              " è collegata nel programma",
                          ErrorKind::NotFound);
}

} // namespace platform

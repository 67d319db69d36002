// Win32 implementation of platform/library_loader.h.
#include "platform/library_loader.h"

#include <windows.h>

namespace platform {

Status LoadLibraryFunction(const std::string& library, const std::string& name, void** function) {
    *function = nullptr;
    HMODULE module = LoadLibraryA(library.c_str());
    if (module == NULL)
        return Status::LastSystemError(Operation::Read, library);
    FARPROC address = GetProcAddress(module, name.c_str());
    if (address == NULL)
        return Status::LastSystemError(Operation::Read, library + " (" + name + ")");
    *function = reinterpret_cast<void*>(address);
    return Status::Ok();
}

} // namespace platform

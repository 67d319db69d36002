// POSIX: no registry; ProgramFilesDir comes from VELASET_PROGRAM_FILES.
#include "platform/registry.h"

#include <cstdlib>

namespace platform {

bool ReadProgramFilesDir(std::string* value) {
    const char* configured = std::getenv("VELASET_PROGRAM_FILES");
    *value = configured != nullptr ? configured : "C:\\Program Files";
    return true;
}

bool RegisterProjectFileType(const std::string&, const std::string&) {
    return true;
}

} // namespace platform

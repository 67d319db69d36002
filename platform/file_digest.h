// The SHA-256 digest of a file, as package catalogues (winget) name the file they download.
#ifndef VELASET_PLATFORM_FILE_DIGEST_H
#define VELASET_PLATFORM_FILE_DIGEST_H

#include <string>

#include "platform/status.h"

namespace platform {

// The file's SHA-256 as 64 upper-case hexadecimal digits, read in blocks. A file that
// cannot be read fails with its path (Operation::Read).
Status FileSha256(const std::string& path, std::string* hex);

} // namespace platform

#endif

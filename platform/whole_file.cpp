// A whole file replaced: the one-step replacement with all its bytes at once.
#include "platform/whole_file.h"

#include "platform/file_replacement.h"

namespace platform {

Status ReplaceWholeFile(const std::string& path, const std::string& data) {
    FileReplacement file;
    Status status = file.Begin(path);
    if (status)
        status = file.Append(data);
    if (status)
        status = file.Commit();
    return status;
}

} // namespace platform

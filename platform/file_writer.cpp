// The writings made of a FileWriter, the same on every platform.
#include "platform/file_writer.h"

#include "platform/file_access.h"

namespace platform {

Status WriteNewFile(const std::string& path, const std::string& bytes) {
    FileWriter file;
    Status status = file.Open(path, FileWriter::Creation::NewOrEmptied);
    if (status)
        status = file.Append(bytes);
    if (status)
        status = file.Close();
    return status;
}

Status CopyWholeFile(const std::string& source, const std::string& copy) {
    FileWriter file;
    Status status = file.Open(copy, FileWriter::Creation::NewOrEmptied);
    if (!status)
        return status;
    status = file.AppendFile(source);
    if (status)
        status = file.Close();
    if (!status) {
        IgnoreFailure(file.Close());
        IgnoreFailure(RemoveFile(copy));
    }
    return status;
}

} // namespace platform

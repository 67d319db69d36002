// The parts of the process service that are the same on every platform.
#include "platform/process.h"

namespace platform {

Status ExitedWith(int exitCode, const std::string& commandLine) {
    return Status::Failed("codice di uscita " + std::to_string(exitCode), ErrorKind::Abnormal,
                          Operation::Start, commandLine);
}

} // namespace platform

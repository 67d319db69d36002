#include "builder/package/setup_executable.h"

namespace velaset {

platform::Status InserisciDLL(platform::FileReplacement& exe, const std::string& stubImage) {
    return exe.Append(stubImage);
}

platform::Status InserisciFile(platform::FileReplacement& exe, const std::string& cabinetPath) {
    platform::Status appended = exe.AppendFile(cabinetPath);
    if (!appended && appended.operation == platform::Operation::Read)
        appended.operation = platform::Operation::Append;
    return appended;
}

} // namespace velaset

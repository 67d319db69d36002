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

platform::Status SetExecutionLevel(std::string* stubImage, Scope scope) {
    if (scope == Scope::Machine)
        return platform::Status::Ok();
    static const std::string kMachine = "level=\"requireAdministrator\"";
    static const std::string kUser = "level=\"asInvoker\"";
    const size_t at = stubImage->find(kMachine);
    if (at == std::string::npos || stubImage->find(kMachine, at + 1) != std::string::npos)
        return platform::Status::Failed("Il programma di installazione non contiene una sola "
                                        "richiesta di amministratore da togliere per un "
                                        "pacchetto per l'utente.",
                                        platform::ErrorKind::Refused);
    stubImage->replace(at, kMachine.size(), kUser + std::string(kMachine.size() - kUser.size(), ' '));
    return platform::Status::Ok();
}

} // namespace velaset

#include "builder/package/setup_executable.h"

#include <cstdio>

#include "common/constants.h"
#include "platform/file_access.h"

namespace velaset {

platform::Status InserisciDLL(const std::string& exePath, const std::string& stubImage) {
    std::FILE* exe = platform::OpenFile(exePath, "wb");
    if (exe == nullptr)
        return platform::Status::LastSystemError(platform::Operation::Create, exePath);
    bool written = std::fwrite(stubImage.data(), 1, stubImage.size(), exe) == stubImage.size();
    int error = written ? 0 : platform::LastSystemErrorCode();
    if (std::fclose(exe) != 0 && written) {
        written = false;
        error = platform::LastSystemErrorCode();
    }
    if (!written)
        return platform::Status::SystemError(error, platform::Operation::Create, exePath);
    return platform::Status::Ok();
}

platform::Status InserisciFile(const std::string& exePath, const std::string& cabinetPath) {
    std::FILE* cabinet = platform::OpenFile(cabinetPath, "rb");
    if (cabinet == nullptr)
        return platform::Status::LastSystemError(platform::Operation::Append, cabinetPath);
    std::FILE* exe = platform::OpenFile(exePath, "ab");
    if (exe == nullptr) {
        int error = platform::LastSystemErrorCode();
        std::fclose(cabinet);
        return platform::Status::SystemError(error, platform::Operation::Append, cabinetPath);
    }
    // The blocks are counted by the read running dry, not in advance: a cabinet of any
    // size that the format allows is appended whole.
    char block[COPY_BLOCK_SIZE];
    bool failed = false;
    int error = 0;
    std::size_t got;
    while (!failed && (got = std::fread(block, 1, sizeof block, cabinet)) > 0) {
        if (std::fwrite(block, 1, got, exe) != got) {
            failed = true;
            error = platform::LastSystemErrorCode();
        }
    }
    if (!failed && std::ferror(cabinet)) {
        failed = true;
        error = platform::LastSystemErrorCode();
    }
    std::fclose(cabinet);
    if (std::fclose(exe) != 0 && !failed) {
        failed = true;
        error = platform::LastSystemErrorCode();
    }
    if (failed)
        return platform::Status::SystemError(error, platform::Operation::Append, cabinetPath);
    return platform::Status::Ok();
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

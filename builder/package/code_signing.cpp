#include "builder/package/code_signing.h"

#include "builder/project/failure_text.h"
#include "platform/file_access.h"

namespace velaset {

const char kSigningTool[] = "osslsigncode";

std::vector<std::string> SigningCommand(const std::string& tool, const SigningOptions& options,
                                        const std::string& passwordFile,
                                        std::optional<std::int64_t> signingTime,
                                        const std::string& in, const std::string& out) {
    std::vector<std::string> command = {tool, "sign"};
    if (!options.pkcs12File.empty())
        command.insert(command.end(), {"-pkcs12", options.pkcs12File});
    else
        command.insert(command.end(), {"-certs", options.certificateFile, "-key", options.keyFile});
    if (passwordFile.empty())
        command.insert(command.end(), {"-pass", ""});
    else
        command.insert(command.end(), {"-readpass", passwordFile});
    command.insert(command.end(), {"-h", "sha256"});
    if (!options.description.empty())
        command.insert(command.end(), {"-n", options.description});
    if (!options.url.empty())
        command.insert(command.end(), {"-i", options.url});
    if (!options.timestampUrl.empty())
        command.insert(command.end(), {"-ts", options.timestampUrl});
    if (signingTime)
        command.insert(command.end(), {"-time", std::to_string(*signingTime)});
    command.insert(command.end(), {"-in", in, "-out", out});
    return command;
}

platform::Status SignFile(const ProgramRunner& run, const std::vector<std::string>& command,
                          const std::string& out) {
    int exitCode = 0;
    platform::Status ran = run(command, &exitCode);
    if (!ran)
        return platform::Status::Failed(FailureText(ran), ran.kind, platform::Operation::None,
                                        ran.subject);
    if (exitCode != 0)
        return platform::Status::Failed("Impossibile firmare " + out + ": " + kSigningTool +
                                            " è terminato con il codice " +
                                            std::to_string(exitCode) + ".",
                                        platform::ErrorKind::Other, platform::Operation::None, out);
    return platform::Status::Ok();
}

platform::Status CheckSigningFiles(const SigningOptions& options) {
    for (const std::string* file :
         {&options.pkcs12File, &options.certificateFile, &options.keyFile}) {
        if (file->empty())
            continue;
        std::FILE* opened = platform::OpenFile(*file, "rb");
        if (opened == nullptr)
            return platform::Status::LastSystemError(platform::Operation::Read, *file);
        std::fclose(opened);
    }
    return platform::Status::Ok();
}

} // namespace velaset

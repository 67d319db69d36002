#include "builder/build/setup_executable.h"

#include <cstdio>

#include "common/constants.h"
#include "platform/file_access.h"

namespace velaset {

platform::Status InserisciDLL(const std::string& exePath, const StubImage& stub) {
    std::string image;
    platform::Status read = ReadStubImage(stub, &image);
    if (!read)
        return platform::Status::Failed("Impossibile creare " + exePath + ", " + read.message);
    std::FILE* exe = platform::OpenFile(exePath, "wb");
    if (exe == nullptr)
        return platform::Status::Failed("Impossibile creare " + exePath + ", " +
                                        platform::LastSystemErrorText());
    bool written = std::fwrite(image.data(), 1, image.size(), exe) == image.size();
    std::string error = written ? std::string() : platform::LastSystemErrorText();
    if (std::fclose(exe) != 0 && written) {
        written = false;
        error = platform::LastSystemErrorText();
    }
    if (!written)
        return platform::Status::Failed("Impossibile creare " + exePath + ", " + error);
    return platform::Status::Ok();
}

platform::Status InserisciFile(const std::string& exePath, const std::string& cabinetPath) {
    auto failed = [&](const std::string& why) {
        return platform::Status::Failed("Impossibile accodare " + cabinetPath + ", " + why);
    };
    std::FILE* cabinet = platform::OpenFile(cabinetPath, "rb");
    if (cabinet == nullptr)
        return failed(platform::LastSystemErrorText());
    std::FILE* exe = platform::OpenFile(exePath, "ab");
    if (exe == nullptr) {
        std::string error = platform::LastSystemErrorText();
        std::fclose(cabinet);
        return failed(error);
    }
    // The blocks are counted by the read running dry, not in advance: a cabinet of any
    // size that the format allows is appended whole.
    char block[COPY_BLOCK_SIZE];
    std::string error;
    std::size_t got;
    while (error.empty() && (got = std::fread(block, 1, sizeof block, cabinet)) > 0) {
        if (std::fwrite(block, 1, got, exe) != got)
            error = platform::LastSystemErrorText();
    }
    if (error.empty() && std::ferror(cabinet))
        error = platform::LastSystemErrorText();
    std::fclose(cabinet);
    if (std::fclose(exe) != 0 && error.empty())
        error = platform::LastSystemErrorText();
    if (!error.empty())
        return failed(error);
    return platform::Status::Ok();
}

} // namespace velaset

#include "builder/package/runtime_files.h"

#include <cstdio>

#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace velaset {

const char* const kStubFileName = "Avviora.exe";
const char* const kRuntimeFileName = "avviora.dll";

std::vector<std::string> RuntimeSearchFolders() {
    std::string application = platform::ApplicationFolder();
    std::vector<std::string> folders;
    for (const std::string& folder :
         {platform::WithoutTrailingSeparator(platform::SystemFolder()), application,
          platform::JoinSourcePath(application, "win32")}) {
        bool seen = false;
        for (const std::string& earlier : folders)
            seen = seen || earlier == folder;
        if (!folder.empty() && !seen)
            folders.push_back(folder);
    }
    return folders;
}

bool FindInFolders(const std::vector<std::string>& folders, const std::string& name,
                   std::string* found, std::vector<std::string>* lookedAt) {
    for (const std::string& folder : folders) {
        std::string candidate = platform::JoinSourcePath(folder, name);
        lookedAt->push_back(candidate);
        if (platform::IsReadableFile(candidate)) {
            *found = candidate;
            return true;
        }
    }
    return false;
}

namespace {

platform::Status Locate(const std::string& name, std::string* path) {
    std::vector<std::string> lookedAt;
    if (FindInFolders(RuntimeSearchFolders(), name, path, &lookedAt))
        return platform::Status::Ok();
    std::string where;
    for (const std::string& candidate : lookedAt)
        where += (where.empty() ? "" : ", ") + candidate;
    return platform::Status::Failed("Impossibile trovare " + name + "; cercato in: " + where,
                                    platform::ErrorKind::NotFound);
}

} // namespace

platform::Status LocateStubImage(StubImage* stub) {
    stub->offset = 0;
    return Locate(kStubFileName, &stub->file);
}

platform::Status LocateRuntimeLibrary(std::string* path) {
    return Locate(kRuntimeFileName, path);
}

platform::Status ReadStubImage(const StubImage& image, std::string* bytes) {
    std::FILE* file = platform::OpenFile(image.file, "rb");
    if (file == nullptr)
        return platform::Status::LastSystemError(platform::Operation::Read, image.file);
    std::string content;
    char buffer[COPY_BLOCK_SIZE];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    bool failed = std::ferror(file) != 0;
    int error = failed ? platform::LastSystemErrorCode() : 0;
    std::fclose(file);
    if (failed)
        return platform::Status::SystemError(error, platform::Operation::Read, image.file);
    std::int64_t size = static_cast<std::int64_t>(content.size()) - image.offset;
    if (image.offset < 0 || size != STUB_IMAGE_SIZE ||
        content.compare(static_cast<std::size_t>(image.offset), 2, "MZ") != 0) {
        return platform::Status::Failed(
            "Il programma di installazione in " + image.file + " non è valido: dal byte " +
                std::to_string(image.offset) + " servono " + std::to_string(STUB_IMAGE_SIZE) +
                " byte di un programma Windows, il file ne ha " +
                std::to_string(size < 0 ? 0 : size),
            platform::ErrorKind::Refused);
    }
    *bytes = content.substr(static_cast<std::size_t>(image.offset));
    return platform::Status::Ok();
}

} // namespace velaset

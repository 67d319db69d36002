#include "builder/package/runtime_files.h"

#include <cstdio>

#include "builder/package/joined_text.h"
#include "builder/package/pe_machine.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace velaset {

const char* const kStubFileName = "Avviora.exe";
const char* const kStub64FileName = "Avviora64.exe";
const char* const kRuntimeFileName = "avviora.dll";
const char* const kX64FolderName = "x64";

const char* StubFileName(Architecture architecture) {
    return architecture == Architecture::X64 ? kStub64FileName : kStubFileName;
}

std::int64_t StubImageSize(Architecture architecture) {
    return architecture == Architecture::X64 ? STUB64_IMAGE_SIZE : STUB_IMAGE_SIZE;
}

std::vector<std::string> RuntimeSearchFolders(Architecture architecture) {
    const bool x64 = architecture == Architecture::X64;
    const std::string system = platform::WithoutTrailingSeparator(platform::SystemFolder());
    const std::string application = platform::ApplicationFolder();
    const std::string x86Folders[] = {system, application,
                                      platform::JoinSourcePath(application, "win32")};
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& folder) {
        for (const std::string& earlier : folders) {
            if (earlier == folder)
                return;
        }
        if (!folder.empty())
            folders.push_back(folder);
    };
    if (x64)
        add(system);
    for (const std::string& folder : x86Folders)
        add(x64 && !folder.empty() ? platform::JoinSourcePath(folder, kX64FolderName) : folder);
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

platform::Status NotFound(const std::string& what, const std::vector<std::string>& lookedAt,
                          const std::string& others = "") {
    std::string where;
    for (const std::string& candidate : lookedAt)
        where += (where.empty() ? "" : ", ") + candidate;
    return platform::Status::Failed(JoinedText({"Impossibile trovare ", what, "; cercato in: ",
                                                where, others}),
                                    platform::ErrorKind::NotFound);
}

} // namespace

platform::Status LocateStubImage(Architecture architecture, StubImage* stub) {
    std::vector<std::string> lookedAt;
    stub->offset = 0;
    stub->fileSize = 0;
    if (FindInFolders(RuntimeSearchFolders(architecture), StubFileName(architecture),
                      &stub->file, &lookedAt))
        return platform::Status::Ok();
    return NotFound(StubFileName(architecture), lookedAt);
}

platform::Status LocateRuntimeLibrary(Architecture architecture, std::string* path) {
    return LocateRuntimeLibraryIn(RuntimeSearchFolders(architecture), architecture, path);
}

platform::Status LocateRuntimeLibraryIn(const std::vector<std::string>& folders,
                                        Architecture architecture, std::string* path) {
    std::vector<std::string> lookedAt;
    std::string others; // the candidates of another machine, for the message
    for (const std::string& folder : folders) {
        std::string candidate = platform::JoinSourcePath(folder, kRuntimeFileName);
        lookedAt.push_back(candidate);
        PeMachine machine = PeMachine::NotAnImage;
        if (!platform::IsReadableFile(candidate) || !ReadPeMachine(candidate, &machine))
            continue;
        if (machine == MachineOf(architecture)) {
            *path = candidate;
            return platform::Status::Ok();
        }
        others += JoinedText({"; ", candidate, " ", MachineText(machine)});
    }
    std::string what = kRuntimeFileName;
    if (architecture == Architecture::X64 || !others.empty())
        what = JoinedText({what, " per ", ArchitectureText(architecture)});
    return NotFound(what, lookedAt, others);
}

platform::Status ReadStubImage(const StubImage& image, Architecture architecture,
                               std::string* bytes) {
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

    const std::int64_t imageSize = StubImageSize(architecture);
    const std::int64_t fileSize = image.fileSize > 0 ? image.fileSize : image.offset + imageSize;
    const std::int64_t size = static_cast<std::int64_t>(content.size());
    const std::string from = std::to_string(image.offset);
    if (image.offset < 0 || size != fileSize || image.offset + imageSize > size ||
        content.compare(static_cast<std::size_t>(image.offset), 2, "MZ") != 0) {
        return platform::Status::Failed(
            JoinedText({"Il programma di installazione in ", image.file, " non è valido: dal byte ",
                        from, " servono ", std::to_string(imageSize),
                        " byte di un programma Windows in un file di ", std::to_string(fileSize),
                        " byte, il file ne ha ", std::to_string(size)}),
            platform::ErrorKind::Refused);
    }
    const PeMachine machine = PeMachineOfImage(content, static_cast<std::size_t>(image.offset));
    if (machine != MachineOf(architecture)) {
        return platform::Status::Failed(
            JoinedText({"Il programma di installazione in ", image.file, " (dal byte ", from, ") ",
                        MachineText(machine), ": un pacchetto ", ArchitectureText(architecture),
                        " richiede ", StubFileName(architecture)}),
            platform::ErrorKind::Refused);
    }
    *bytes = content.substr(static_cast<std::size_t>(image.offset),
                            static_cast<std::size_t>(imageSize));
    return platform::Status::Ok();
}

} // namespace velaset

// The native binding of Comprimi: the cabinet library is linked into the program.
//
// The library opens every path of its list as given, as the C runtime does, while the
// builder lists each file by its short path, so that the cabinet stores the short name.
// On Windows the system opens short paths itself; here a short path names a file only
// through the platform layer's path resolution. So each entry that the file system
// does not hold under that very path is listed through a link named after the short
// name, in a folder of the build's own working folder (cabDir).
#include "builder/package/comprimi_binding.h"

#include "compress/comprimi.h"
#include "platform/file_access.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {

namespace {

// The list with every entry that needs it replaced by a link; empty on failure.
bool ListOpenableAsGiven(const std::string& cabDir, const std::string& fileList,
                         std::string* openable) {
    const std::string linkFolder = cabDir + "short-names";
    bool folderMade = false;
    platform::ShortPathCache folders; // each source folder read once, not once a file
    std::size_t start = 0;
    for (;;) {
        std::size_t plus = fileList.find_first_of("+|", start);
        std::string entry = fileList.substr(start, plus - start);
        std::string resolved = entry.empty() ? entry : folders.Resolve(entry);
        if (resolved != entry && platform::IsReadableFile(resolved)) {
            if (!folderMade && !platform::MakeDirectory(linkFolder))
                return false;
            folderMade = true;
            std::string link =
                platform::JoinSourcePath(linkFolder, platform::SourceFileName(entry));
            if (!platform::LinkFile(resolved, link))
                return false;
            entry = link;
        }
        *openable += entry;
        if (plus == std::string::npos)
            return true;
        *openable += fileList[plus]; // "+", or the "|" that joins two files of a folder
        start = plus + 1;
    }
}

// The library's progress, handed to the builder's.
int TellProgress(std::uint32_t bytes, void* context) {
    const CabinetProgress& progress = *static_cast<const CabinetProgress*>(context);
    return progress && !progress(bytes) ? 1 : 0;
}

} // namespace

platform::Status BindComprimi(ComprimiFunction* comprimi) {
    *comprimi = [](const std::string& cabDir, const std::string& cabBase,
                   const std::string& fileList, std::uint32_t maxCabSize, std::uint32_t method,
                   const CabinetProgress& progress) {
        std::string openable;
        if (!ListOpenableAsGiven(cabDir, fileList, &openable))
            openable = fileList; // the library then names the file it cannot open
        void* context = const_cast<CabinetProgress*>(&progress);
        if (method != kMethodMsZip)
            return static_cast<int>(ComprimiConMetodo(cabDir.c_str(), cabBase.c_str(),
                                                      openable.c_str(), maxCabSize, method,
                                                      TellProgress, context));
        return static_cast<int>(ComprimiConAvanzamento(cabDir.c_str(), cabBase.c_str(),
                                                       openable.c_str(), maxCabSize,
                                                       TellProgress, context));
    };
    return platform::Status::Ok();
}

} // namespace velaset

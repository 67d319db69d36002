// The native binding of Comprimi: the cabinet library is linked into the program.
//
// The library opens every path of its list as given, as the C runtime does, while the
// builder lists each file by its short path, so that the cabinet stores the short name.
// On Windows the system opens short paths itself; here a short path names a file only
// through the platform layer's path resolution. So each entry that the file system
// does not hold under that very path is listed through a link named after the short
// name, in a folder of the build's own working folder (cabDir).
#include "builder/package/comprimi_binding.h"

#include "compress/client.h"
#include "compress/comprimi.h"
#include "platform/file_access.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {

namespace {

// The entries with every path that needs it replaced by a link; false on failure.
bool MakeOpenableAsGiven(const std::string& cabDir, std::vector<CabinetEntry>* entries) {
    const std::string linkFolder = cabDir + "short-names";
    bool folderMade = false;
    platform::ShortPathCache folders; // each source folder read once, not once a file
    for (CabinetEntry& entry : *entries) {
        std::string resolved = entry.path.empty() ? entry.path : folders.Resolve(entry.path);
        if (resolved == entry.path || !platform::IsReadableFile(resolved))
            continue;
        if (!folderMade && !platform::MakeDirectory(linkFolder))
            return false;
        folderMade = true;
        std::string link =
            platform::JoinSourcePath(linkFolder, platform::SourceFileName(entry.path));
        if (!platform::LinkFile(resolved, link))
            return false;
        entry.path = link;
    }
    return true;
}

// The library's progress, handed to the builder's.
int TellProgress(std::uint32_t bytes, void* context) {
    const CabinetProgress& progress = *static_cast<const CabinetProgress*>(context);
    return progress && !progress(bytes) ? 1 : 0;
}

} // namespace

platform::Status BindComprimi(ComprimiFunction* comprimi) {
    *comprimi = [](const std::string& cabDir, const std::string& cabBase,
                   const std::vector<CabinetEntry>& given, std::uint32_t maxCabSize,
                   std::uint32_t method, const CabinetProgress& progress) {
        std::vector<CabinetEntry> entries = given;
        if (!MakeOpenableAsGiven(cabDir, &entries))
            entries = given; // the library then names the file it cannot open
        // The library's table: each path, and a null where its folder ends (but after
        // the last, whose folder the cabinet's end closes).
        std::vector<char*> table;
        for (CabinetEntry& entry : entries) {
            table.push_back(entry.path.data());
            if (entry.endsFolder && &entry != &entries.back())
                table.push_back(nullptr);
        }
        compress::CompressionChoice choice = compress::kComprimiChoice;
        if (method != kMethodMsZip)
            choice = {static_cast<std::uint16_t>(method), true, compress::kDefaultLzx};
        return compress::ComprimiEntries(cabDir.c_str(), cabBase.c_str(), table.data(),
                                         static_cast<std::uint32_t>(table.size()), maxCabSize,
                                         compress::PlatformCallbacks(),
                                         compress::ComprimiThreads(), TellProgress,
                                         const_cast<CabinetProgress*>(&progress), choice);
    };
    return platform::Status::Ok();
}

} // namespace velaset

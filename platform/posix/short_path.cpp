// POSIX: ShortPath by the classic Windows short-name rule, component by component (or
// the long names, on the volume without 8.3 names that the emulation can play).
#include "platform/short_path.h"

#include "platform/posix/path_resolution.h"

namespace platform {

std::string ShortPath(const std::string& path) {
    if (path.empty())
        return std::string();
    bool absolute;
    std::vector<std::string> parts = posix::SplitPath(path, &absolute);
    std::string longSoFar = absolute ? "/" : "";
    std::string shortSoFar = longSoFar;
    for (const std::string& part : parts) {
        std::string actual;
        if (!posix::FindEntry(longSoFar, part, &actual))
            return std::string();
        std::string shortName = actual;
        if (actual != "." && actual != "..")
            shortName = posix::EntryShortName(actual, posix::FolderEntries(longSoFar));
        for (std::string* p : {&longSoFar, &shortSoFar}) {
            if (!p->empty() && p->back() != '/')
                *p += "/";
        }
        longSoFar += actual;
        shortSoFar += shortName;
    }
    // GetShortPathNameA writes into a 165-character buffer announced as 164.
    if (shortSoFar.size() >= 164)
        return std::string();
    return shortSoFar;
}

} // namespace platform

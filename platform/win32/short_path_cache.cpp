// Win32: ShortPathCache. GetShortPathNameA is one cheap system call per path, and the
// file system keeps the short names, so the cache only asks the system.
#include "platform/short_path_cache.h"

#include "platform/short_path.h"

namespace platform {

struct ShortPathCache::State {};

ShortPathCache::ShortPathCache() : state_(new State) {}
ShortPathCache::~ShortPathCache() = default;

std::string ShortPathCache::ShortPath(const std::string& path) {
    return platform::ShortPath(path);
}

} // namespace platform

// Short (8.3) paths, as GetShortPathNameA gives them.
#ifndef VELASET_PLATFORM_SHORT_PATH_H
#define VELASET_PLATFORM_SHORT_PATH_H

#include <string>

namespace platform {

// The 8.3 form of an existing path: every component replaced by its short name.
// Empty when a component does not exist or the short form does not fit the
// 165-character buffer (164 passed as its size) that the system uses.
std::string ShortPath(const std::string& path);

// The POSIX layer plays a volume that gives no 8.3 names (Windows 8 and later make none
// on new non-system volumes) when the environment variable VELASET_NO_SHORT_NAMES is
// "1": ShortPath then answers every component with its long name, as GetShortPathNameA
// does there, and no path is found by a short name. The Win32 layer asks the system
// (and has no such setting).

} // namespace platform

#endif

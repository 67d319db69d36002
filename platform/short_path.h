// Short (8.3) paths, as GetShortPathNameA gives them.
#ifndef VELASET_PLATFORM_SHORT_PATH_H
#define VELASET_PLATFORM_SHORT_PATH_H

#include <string>
#include <vector>

namespace platform {

// The 8.3 form of an existing path: every component replaced by its short name.
// Empty when a component does not exist or the short form does not fit the
// 165-character buffer (164 passed as its size) that the system uses.
std::string ShortPath(const std::string& path);

// The classic Windows short name of longName among the long names of its folder
// (siblings, which may include longName itself). A valid 8.3 name is its own short
// name, letter case kept; other names become BASE~N.EXT, N counted among the
// siblings that give the same base and extension, in byte order of their long names.
// The POSIX layer uses this rule; it is here so that it can be checked everywhere.
std::string ClassicShortName(const std::string& longName, const std::vector<std::string>& siblings);

// True when name already is a valid 8.3 name.
bool IsShortName(const std::string& name);

// BASE~N.EXT of a long name by the classic rule: upper case, blanks and all dots but the
// last dropped, characters not allowed in 8.3 names as "_", the extension cut to three,
// the base to 6 characters (5 from N = 10, 4 from N = 100, and so on).
std::string NumberedShortName(const std::string& longName, size_t n);

// The POSIX layer plays a volume that gives no 8.3 names (Windows 8 and later make none
// on new non-system volumes) when the environment variable VELASET_NO_SHORT_NAMES is
// "1": ShortPath then answers every component with its long name, as GetShortPathNameA
// does there, and no path is found by a short name. The Win32 layer asks the system
// (and has no such setting).
#ifndef _WIN32
extern const char* const kNoShortNamesVariable; // "VELASET_NO_SHORT_NAMES"
#endif

} // namespace platform

#endif

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

} // namespace platform

#endif

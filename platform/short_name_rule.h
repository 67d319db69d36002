// The classic Windows 8.3 short-name rule, the same code on every platform: the POSIX
// layer makes its short names by it, and the builder names files the system gives no
// short name.
#ifndef VELASET_PLATFORM_SHORT_NAME_RULE_H
#define VELASET_PLATFORM_SHORT_NAME_RULE_H

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The classic Windows short name of longName among the long names of its folder
// (siblings, which may include longName itself). A valid 8.3 name is its own short
// name, letter case kept; other names become BASE~N.EXT, N counted among the
// siblings that give the same base and extension, in byte order of their long names.
std::string ClassicShortName(const std::string& longName, const std::vector<std::string>& siblings);

// True when name already is a valid 8.3 name.
bool IsShortName(const std::string& name);

// BASE~N.EXT of a long name by the classic rule: upper case, blanks and all dots but the
// last dropped, characters not allowed in 8.3 names as "_", the extension cut to three,
// the base to 6 characters (5 from N = 10, 4 from N = 100, and so on).
std::string NumberedShortName(const std::string& longName, size_t n);

} // namespace platform

#endif

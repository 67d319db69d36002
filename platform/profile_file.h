// Profile (INI) files: the platform's GetPrivateProfileString / WritePrivateProfileString
// service. Section, key and value texts are the bytes that the file holds (Windows-1252);
// paths are UTF-8. Every call reads or writes the whole file; nothing is cached.
//
// Dialect (Windows, emulated on POSIX): section and key names compare ignoring case;
// blanks around names and values are dropped; a value enclosed in one pair of quotes
// (" or ') loses them on reading; a written key replaces the first one of that name in
// place; a new key goes after the last line of its section; a new section goes at the
// end of the file; lines end with CR LF; reading an absent file creates nothing.
#ifndef VELASET_PLATFORM_PROFILE_FILE_H
#define VELASET_PLATFORM_PROFILE_FILE_H

#include <cstddef>
#include <string>

#include "platform/status.h"

namespace platform {

// The value of key in section, or defaultValue when the file, the section or the key
// is absent. As with a buffer of bufferSize characters, the result holds at most
// bufferSize - 1 bytes (a longer value comes back cut).
std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize);

// The names of all keys of section, each followed by NUL, cut to fit a buffer of
// bufferSize characters; empty when the file or section is absent.
std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize);

// Writes key=value into section, creating the file and the section when absent.
Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value);

// Removes section with all its keys (success when there is no such section).
Status DeleteProfileSection(const std::string& path, const std::string& section);

} // namespace platform

#endif

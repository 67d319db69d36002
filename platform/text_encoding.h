// Windows-1252 conversion: texts are UTF-8 in memory; files the system defines as
// ANSI text (setup.inf, .mip) hold Windows-1252 bytes.
#ifndef VELASET_PLATFORM_TEXT_ENCODING_H
#define VELASET_PLATFORM_TEXT_ENCODING_H

#include <string>

namespace platform {

// Converts UTF-8 to Windows-1252. False (and *ansi untouched) when the text is not
// valid UTF-8 or holds a character that Windows-1252 cannot hold.
bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi);

// Converts Windows-1252 to UTF-8. Every byte has a meaning: the five bytes that
// Windows-1252 leaves undefined map to the control characters of the same value,
// as the Windows conversion does, so the round trip keeps every byte.
std::string Windows1252ToUtf8(const std::string& ansi);

} // namespace platform

#endif

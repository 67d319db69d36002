// Line breaks of multi-line texts (Etic2A) in files that keep one value per line: the
// project file and the setup script. Each line break of the text (CR LF, or a lone CR
// or LF) is stored as the pilcrow sign "¶" (U+00B6, byte 0xB6 in Windows-1252, see
// LINE_BREAK_MARK in common/constants.h); the installer turns it back into a line
// break. A text without line breaks is stored unchanged; a text that holds "¶" itself
// cannot be stored and is refused by the save.
#ifndef VELASET_BUILDER_PROJECT_LINE_BREAKS_H
#define VELASET_BUILDER_PROJECT_LINE_BREAKS_H

#include <string>

namespace velaset {

extern const char* const kLineBreakMark; // "¶" in UTF-8

std::string EncodeLineBreaks(const std::string& text);

// Every "¶" becomes CR LF.
std::string DecodeLineBreaks(const std::string& stored);

} // namespace velaset

#endif

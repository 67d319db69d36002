// Line breaks of Etic2A in the project file: one line per value, so each break is
// stored as the pilcrow sign, which the text itself may not hold.
#include "builder/project/line_breaks.h"

namespace velaset {

const char* const kLineBreakMark = "\xC2\xB6"; // U+00B6, byte 0xB6 in Windows-1252

std::string EncodeLineBreaks(const std::string& text) {
    std::string stored;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            stored += kLineBreakMark;
        } else if (text[i] == '\n') {
            stored += kLineBreakMark;
        } else {
            stored += text[i];
        }
    }
    return stored;
}

std::string DecodeLineBreaks(const std::string& stored) {
    const std::string mark = kLineBreakMark;
    std::string text;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored.compare(i, mark.size(), mark) == 0) {
            text += "\r\n";
            i += mark.size() - 1;
        } else {
            text += stored[i];
        }
    }
    return text;
}

} // namespace velaset

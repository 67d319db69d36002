// Letter case of names and paths as the builder compares them: ASCII letters only, so
// that UTF-8 sequences pass through unchanged.
#ifndef VELASET_BUILDER_SCRIPT_TEXT_CASE_H
#define VELASET_BUILDER_SCRIPT_TEXT_CASE_H

#include <string>

namespace velaset {

inline std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace velaset

#endif

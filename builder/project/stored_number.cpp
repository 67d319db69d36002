// Numbers in stored texts.
#include "builder/project/stored_number.h"

#include <cmath>
#include <cstdlib>

namespace velaset {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a number at text[*pos]; false when there is none there.
bool ReadNumber(const std::string& text, size_t* pos, long* value) {
    size_t i = *pos;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string digits;
    size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        digits += text[i++];
    bool anyDigit = i > intStart;
    if (i < text.size() && text[i] == '.') {
        size_t fracStart = ++i;
        digits += '.';
        while (i < text.size() && IsDigit(text[i]))
            digits += text[i++];
        anyDigit = anyDigit || i > fracStart;
    }
    if (!anyDigit)
        return false;
    double number = std::strtod(digits.c_str(), nullptr);
    if (number > 1e9)
        number = 1e9;
    double rounded = std::nearbyint(number);
    *value = static_cast<long>(negative ? -rounded : rounded);
    *pos = i;
    return true;
}

} // namespace

long LeadingNumber(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    long value = 0;
    return ReadNumber(text, &pos, &value) ? value : 0;
}

bool WholeNumber(const std::string& text, long* value) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (!ReadNumber(text, &pos, value))
        return false;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos == text.size();
}

} // namespace velaset

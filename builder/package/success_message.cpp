#include "builder/package/success_message.h"

#include "platform/source_path.h"

namespace velaset {

namespace {

std::string UpperCase(const std::string& text) {
    // ASCII letters and the Latin-1 letters à..þ (UTF-8 C3 A0..C3 BE but ÷), as the
    // Windows-1252 upper-casing of the file name does.
    std::string upper = text;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(upper[i]);
        if (c >= 'a' && c <= 'z') {
            upper[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < upper.size()) {
            unsigned char next = static_cast<unsigned char>(upper[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                upper[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
    return upper;
}

} // namespace

std::string BuildSuccessMessage(const std::string& exePath) {
    return "Il file " + UpperCase(platform::SourceFileName(exePath)) + " è stato creato!";
}

} // namespace velaset

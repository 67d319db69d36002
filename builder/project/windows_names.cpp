#include "builder/project/windows_names.h"

#include <cstring>

namespace velaset {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The device names that Windows keeps for itself, with any extension.
bool IsReservedName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        c = Upper(c);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices) {
        if (base == device)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

} // namespace

std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::string CharacterName(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F)
        return "il carattere di controllo " + std::to_string(u);
    switch (c) {
    case ',':
        return "la virgola";
    case ';':
        return "il punto e virgola";
    case '"':
        return "le virgolette (\")";
    case '\\':
        return "la barra rovesciata (\\)";
    case '/':
        return "la barra (/)";
    case '%':
        return "il segno %";
    case ' ':
        return "lo spazio";
    default:
        return std::string("il carattere ") + c;
    }
}

std::string WindowsNameFault(const std::string& name) {
    if (name.empty())
        return "è vuoto";
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr)
            return "contiene " + CharacterName(c) + ", che Windows non ammette nei nomi";
    }
    if (CharacterCount(name) > kMaxWindowsName)
        return "è lungo " + std::to_string(CharacterCount(name)) + " caratteri, più dei " +
               std::to_string(kMaxWindowsName) + " di un nome di Windows";
    if (name.back() == '.' || name.back() == ' ')
        return std::string("finisce con ") + (name.back() == '.' ? "un punto" : "uno spazio") +
               ", che Windows toglie dai nomi";
    if (IsReservedName(name))
        return "è un nome che Windows riserva ai dispositivi (" + name.substr(0, name.find('.')) +
               ")";
    return "";
}

} // namespace velaset

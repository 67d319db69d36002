// The classic Windows 8.3 short-name rule, the same code on every platform.
#include "platform/short_path.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace platform {
namespace {

bool IsShortNameChar(unsigned char c) {
    return std::isalnum(c) || std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

// One character of a long name as it goes into a short name ("" when dropped).
std::string ShortNameChar(unsigned char c) {
    if (c == ' ')
        return "";
    if (c >= 0x80 || !IsShortNameChar(c))
        return "_";
    return std::string(1, static_cast<char>(std::toupper(c)));
}

// Upper-cased base (dots but the last and blanks dropped) and extension of a long name.
void SplitLongName(const std::string& name, std::string* base, std::string* ext) {
    size_t lastDot = name.rfind('.');
    std::string basePart = lastDot == std::string::npos ? name : name.substr(0, lastDot);
    std::string extPart = lastDot == std::string::npos ? "" : name.substr(lastDot + 1);
    base->clear();
    ext->clear();
    for (size_t i = 0; i < basePart.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(basePart[i]);
        if (c == '.')
            continue;
        if ((c & 0xC0) == 0x80)
            continue; // continuation byte of a character already replaced
        *base += ShortNameChar(c);
    }
    for (size_t i = 0; i < extPart.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(extPart[i]);
        if ((c & 0xC0) == 0x80)
            continue;
        *ext += ShortNameChar(c);
    }
    if (ext->size() > 3)
        ext->resize(3);
}

} // namespace

bool IsShortName(const std::string& name) {
    size_t dot = name.find('.');
    if (dot != name.rfind('.'))
        return false;
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3)
        return false;
    if (dot != std::string::npos && ext.empty())
        return false;
    for (char c : base + ext) {
        if (!IsShortNameChar(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string NumberedShortName(const std::string& longName, size_t n) {
    std::string base, ext;
    SplitLongName(longName, &base, &ext);
    const std::string number = "~" + std::to_string(n);
    // The base gives way to the number: 8 characters in all.
    const size_t keep = number.size() < 8 ? std::min<size_t>(6, 8 - number.size()) : 0;
    std::string result = base.substr(0, keep) + number;
    if (!ext.empty())
        result += "." + ext;
    return result;
}

std::string ClassicShortName(const std::string& longName,
                             const std::vector<std::string>& siblings) {
    if (IsShortName(longName))
        return longName;
    std::string base, ext;
    SplitLongName(longName, &base, &ext);
    std::string base6 = base.substr(0, 6);

    std::vector<std::string> sameStem;
    for (const std::string& other : siblings) {
        if (IsShortName(other))
            continue;
        std::string otherBase, otherExt;
        SplitLongName(other, &otherBase, &otherExt);
        if (otherBase.substr(0, 6) == base6 && otherExt == ext)
            sameStem.push_back(other);
    }
    if (std::find(sameStem.begin(), sameStem.end(), longName) == sameStem.end())
        sameStem.push_back(longName);
    std::sort(sameStem.begin(), sameStem.end());
    size_t n = std::find(sameStem.begin(), sameStem.end(), longName) - sameStem.begin() + 1;
    return NumberedShortName(longName, n);
}

const char* const kNoShortNamesVariable = "VELASET_NO_SHORT_NAMES";

} // namespace platform

// The classic Windows 8.3 short-name rule, the same code on every platform.
#include "platform/short_name_rule.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace platform {
namespace {

bool IsShortNameChar(unsigned char c) {
    return std::isalnum(c) || std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

// Upper-cased base (dots but the last and blanks dropped) and extension of a long name.
void SplitLongName(const std::string& name, std::string* base, std::string* ext) {
    const size_t lastDot = name.rfind('.'); // npos: no extension
    base->clear();
    ext->clear();
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        // A continuation byte belongs to a character already replaced; blanks go.
        if (c == '.' || (c & 0xC0) == 0x80 || c == ' ')
            continue;
        const bool allowed = c < 0x80 && IsShortNameChar(c);
        (i > lastDot ? ext : base)->push_back(allowed ? static_cast<char>(std::toupper(c)) : '_');
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

} // namespace platform

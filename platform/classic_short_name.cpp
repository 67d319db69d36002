// The short name that the classic rule gives a long name among its folder's names: a
// file of its own, so that a program which only makes names does not carry the numbering.
#include <algorithm>

#include "platform/short_name_rule.h"

namespace platform {

std::string ClassicShortName(const std::string& longName,
                             const std::vector<std::string>& siblings) {
    if (IsShortName(longName))
        return longName;
    // Two long names share a stem when they give the same base of six and extension,
    // that is the same first name.
    const std::string stem = NumberedShortName(longName, 1);
    std::vector<std::string> sameStem;
    for (const std::string& other : siblings) {
        if (!IsShortName(other) && NumberedShortName(other, 1) == stem)
            sameStem.push_back(other);
    }
    if (std::find(sameStem.begin(), sameStem.end(), longName) == sameStem.end())
        sameStem.push_back(longName);
    std::sort(sameStem.begin(), sameStem.end());
    const size_t n = std::find(sameStem.begin(), sameStem.end(), longName) - sameStem.begin() + 1;
    return NumberedShortName(longName, n);
}

} // namespace platform

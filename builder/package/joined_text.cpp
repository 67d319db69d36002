#include "builder/package/joined_text.h"

namespace velaset {

std::string JoinedText(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece.data(), piece.size());
    return text;
}

std::string MegabytesText(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes * 10 + 524288) / 1048576;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

} // namespace velaset

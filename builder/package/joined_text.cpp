#include "builder/package/joined_text.h"

namespace velaset {

std::string JoinedText(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece.data(), piece.size());
    return text;
}

} // namespace velaset

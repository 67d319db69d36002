// The pieces of a message joined into one text by one call: the long sentences of the
// build's refusals would otherwise expand into a chain of string additions at each
// place, which the wizard, kept within a fixed size, pays for in code.
#ifndef VELASET_BUILDER_PACKAGE_JOINED_TEXT_H
#define VELASET_BUILDER_PACKAGE_JOINED_TEXT_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velaset {

std::string JoinedText(std::initializer_list<std::string_view> pieces);

// Bytes as megabytes with one decimal, in the Italian form ("12,5").
std::string MegabytesText(std::uint64_t bytes);

} // namespace velaset

#endif

// The text of the box that refuses a file whose 8.3 name is already in the files list.
#ifndef VELASET_BUILDER_SCRIPT_CLASH_MESSAGE_H
#define VELASET_BUILDER_SCRIPT_CLASH_MESSAGE_H

#include <string>

namespace velaset {

// `listedPath` is the file already in the list, `path` the refused one, `shortName` the
// short name they share (written upper-cased).
std::string ShortNameClashMessage(const std::string& listedPath, const std::string& path,
                                  const std::string& shortName);

} // namespace velaset

#endif

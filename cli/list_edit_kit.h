// What the list-editing commands (add, remove, dest, link, reg, msg, inf) share: the
// files named on the command line, line ends for messages meant for a box.
#ifndef VELASET_CLI_LIST_EDIT_KIT_H
#define VELASET_CLI_LIST_EDIT_KIT_H

#include <string>

#include "builder/project/project.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {

// The row of the files list whose path is `argument` as given or made absolute; -1.
int FindFileRow(const Project& project, const std::string& argument);

// A box text for a terminal: each CR LF, and each CR left, becomes one LF.
std::string WithLineFeeds(const std::string& text);

} // namespace cli
} // namespace velaset

#endif

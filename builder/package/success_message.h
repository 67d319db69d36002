// The message of a finished build, the same in the wizard's box and on the command
// line: "Il file " + the executable's file name in capitals + " è stato creato!".
#ifndef VELASET_BUILDER_PACKAGE_SUCCESS_MESSAGE_H
#define VELASET_BUILDER_PACKAGE_SUCCESS_MESSAGE_H

#include <string>

namespace velaset {

std::string BuildSuccessMessage(const std::string& exePath);

} // namespace velaset

#endif

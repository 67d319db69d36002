// The builder's sentence for a failed operation, as the user reads it in a message box
// or on the error stream: "Impossibile creare " + path + ", " + the system's description,
// and likewise for reading, appending, deleting and starting a program. A failure that
// carries a whole sentence of its own is told as it is.
#ifndef VELASET_BUILDER_PROJECT_FAILURE_TEXT_H
#define VELASET_BUILDER_PROJECT_FAILURE_TEXT_H

#include <string>

#include "platform/status.h"

namespace velaset {

std::string FailureText(const platform::Status& failure);

} // namespace velaset

#endif

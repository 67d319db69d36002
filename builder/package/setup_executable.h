// The setup executable: the installer stub's program image followed by the cabinet,
// with nothing around the cabinet. The stub finds it at offset STUB_IMAGE_SIZE and
// reads it to the end of its own file.
//
//   offset 0                 STUB_IMAGE_SIZE bytes   the stub's program file, unchanged
//   offset STUB_IMAGE_SIZE   rest of the file        setup.CAB as Comprimi wrote it
//
// Both steps write the new file of a FileReplacement, which takes the place of the old
// setup executable only once it is complete.
#ifndef VELASET_BUILDER_PACKAGE_SETUP_EXECUTABLE_H
#define VELASET_BUILDER_PACKAGE_SETUP_EXECUTABLE_H

#include <string>

#include "builder/project/project.h"
#include "platform/file_replacement.h"
#include "platform/status.h"

namespace velaset {

// Writes the stub image (checked beforehand by ReadStubImage) at the head of the new
// setup executable. A failure names the setup executable (Operation::Create).
platform::Status InserisciDLL(platform::FileReplacement& exe, const std::string& stubImage);

// Appends the cabinet file to the new setup executable, whatever its size. A cabinet
// that cannot be read is told as one that cannot be appended (Operation::Append, the
// cabinet's path); a failure to write names the setup executable.
platform::Status InserisciFile(platform::FileReplacement& exe, const std::string& cabinetPath);

// The stub's manifest asks Windows for an administrator (requestedExecutionLevel
// "requireAdministrator"); a package for one user asks for none: "asInvoker" is written
// over that level, padded with blanks inside the tag, so that the image keeps its size.
// A package for the machine keeps the image as it is. Fails, changing nothing, when the
// image does not hold the level exactly once.
platform::Status SetExecutionLevel(std::string* stubImage, Scope scope);

} // namespace velaset

#endif

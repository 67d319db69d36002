// The setup executable: the installer stub's program image followed by the cabinet,
// with nothing around the cabinet. The stub finds it at offset STUB_IMAGE_SIZE and
// reads it to the end of its own file.
//
//   offset 0                 STUB_IMAGE_SIZE bytes   the stub's program file, unchanged
//   offset STUB_IMAGE_SIZE   rest of the file        setup.CAB as Comprimi wrote it
#ifndef VELASET_BUILDER_PACKAGE_SETUP_EXECUTABLE_H
#define VELASET_BUILDER_PACKAGE_SETUP_EXECUTABLE_H

#include <string>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// Creates the setup executable at exePath and writes the stub image into it (checked
// beforehand by ReadStubImage). A failure concerns exePath (Operation::Create).
platform::Status InserisciDLL(const std::string& exePath, const std::string& stubImage);

// Appends the cabinet file to the setup executable in blocks of COPY_BLOCK_SIZE bytes,
// whatever its size. A failure concerns cabinetPath (Operation::Append).
platform::Status InserisciFile(const std::string& exePath, const std::string& cabinetPath);

// The stub's manifest asks Windows for an administrator (requestedExecutionLevel
// "requireAdministrator"); a package for one user asks for none: "asInvoker" is written
// over that level, padded with blanks inside the tag, so that the image keeps its size.
// A package for the machine keeps the image as it is. Fails, changing nothing, when the
// image does not hold the level exactly once.
platform::Status SetExecutionLevel(std::string* stubImage, Scope scope);

} // namespace velaset

#endif

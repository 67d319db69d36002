// The two stub images that the wizard carries at the end of its own program file, so
// that it builds packages of either architecture from its one file:
//
//   offset 0                    the builder image, padded with zero bytes to B
//   offset B                    Avviora.exe, STUB_IMAGE_SIZE bytes (x86 packages)
//   offset B + STUB_IMAGE_SIZE  Avviora64.exe, STUB64_IMAGE_SIZE bytes (x64 packages),
//                               up to the end of the file
//
// B is the size reserved for the builder image: STUB_OFFSET_IN_BUILDER in the 32-bit
// wizard, STUB_OFFSET_IN_BUILDER64 in the 64-bit one. The 32-bit stub stays where it
// always was; the 64-bit one follows it, so neither offset depends on the other image.
#ifndef VELASET_BUILDER_WIZARD_STUB_IMAGES_H
#define VELASET_BUILDER_WIZARD_STUB_IMAGES_H

#include <cstdint>
#include <string>

#include "builder/package/runtime_files.h"

namespace velaset {

// The stub of the architecture inside wizardFile, whose builder image takes
// builderImageSize bytes; the file must be exactly the three parts long.
StubImage WizardStubImage(const std::string& wizardFile, std::int64_t builderImageSize,
                          Architecture architecture);

} // namespace velaset

#endif

#include "builder/wizard/stub_images.h"

#include "common/constants.h"

namespace velaset {

StubImage WizardStubImage(const std::string& wizardFile, std::int64_t builderImageSize,
                          Architecture architecture) {
    StubImage image;
    image.file = wizardFile;
    image.offset = builderImageSize + (architecture == Architecture::X64 ? STUB_IMAGE_SIZE : 0);
    image.fileSize = builderImageSize + STUB_IMAGE_SIZE + STUB64_IMAGE_SIZE;
    return image;
}

} // namespace velaset

#include "builder/wizard/stub_images.h"

#include <gtest/gtest.h>

#include "common/constants.h"
#include "tests/package/fake_stub.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

// The wizard's file as the build makes it, for a builder image of 1000 bytes; each
// architecture's stub comes out of it, and only out of a file of that layout.
TEST(WizardStubImage, EachArchitectureTakesItsStubOutOfTheWizardsFile) {
    ScratchFolder folder;
    const std::string stub32 = FakeStubImage(STUB_IMAGE_SIZE);
    const std::string stub64 = FakeStubImage(STUB64_IMAGE_SIZE, kMachineAmd64);
    const std::string builder = FakeStubImage(1000);
    const std::string wizard = folder.WriteFile("Velaset.exe", builder + stub32 + stub64);

    std::string bytes;
    ASSERT_TRUE(ReadStubImage(WizardStubImage(wizard, 1000, Architecture::X86), Architecture::X86,
                              &bytes));
    EXPECT_EQ(bytes, stub32);
    ASSERT_TRUE(ReadStubImage(WizardStubImage(wizard, 1000, Architecture::X64), Architecture::X64,
                              &bytes));
    EXPECT_EQ(bytes, stub64);

    const struct {
        const char* what;
        std::string file;
    } broken[] = {
        {"the earlier layout, the 32-bit stub alone", builder + stub32},
        {"bytes appended", builder + stub32 + stub64 + "x"},
        {"the stubs swapped", builder + stub64 + stub32},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.what);
        const std::string file = folder.WriteFile("Rotto.exe", b.file);
        for (Architecture architecture : {Architecture::X86, Architecture::X64}) {
            platform::Status read =
                ReadStubImage(WizardStubImage(file, 1000, architecture), architecture, &bytes);
            EXPECT_EQ(read.kind, platform::ErrorKind::Refused) << ArchitectureName(architecture);
        }
    }
}

} // namespace
} // namespace velaset

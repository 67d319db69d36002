#include "builder/package/setup_executable.h"

#include <gtest/gtest.h>

#include "builder/package/runtime_files.h"
#include "common/constants.h"
#include "tests/package/fake_stub.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xFF);
    return bytes;
}

// Sizes around the 64 KB copy block: none, one byte, one block, a block and a part.
TEST(SetupExecutable, IsTheStubImageFollowedByTheWholeCabinet) {
    for (std::size_t size : {0u, 1u, 65536u, 150001u}) {
        SCOPED_TRACE(size);
        ScratchFolder folder;
        const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
        const std::string cabinet = PatternBytes(size);
        const std::string exe = folder.Path("Setup.exe");
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.Begin(exe).ok);
        ASSERT_TRUE(InserisciDLL(replacement, stub).ok);
        ASSERT_TRUE(InserisciFile(replacement, folder.WriteFile("setup.CAB", cabinet)).ok);
        ASSERT_TRUE(replacement.Commit().ok);
        EXPECT_EQ(ScratchFolder::ReadFile(exe), stub + cabinet);
    }
}

// For the machine, and for an image without the one level, nothing changes.
TEST(SetupExecutable, APackageForOneUserAsksForNoAdministrator) {
    const std::string tag = "<requestedExecutionLevel level=\"requireAdministrator\"/>";
    const std::string image = FakeStubImage(STUB_IMAGE_SIZE).replace(600, tag.size(), tag);
    std::string forUser = image, forMachine = image;
    ASSERT_TRUE(SetExecutionLevel(&forUser, Scope::User));
    EXPECT_EQ(forUser.size(), image.size());
    EXPECT_EQ(forUser.substr(600, tag.size()),
              "<requestedExecutionLevel level=\"asInvoker\"           />");
    EXPECT_EQ(forUser.substr(0, 600) + forUser.substr(600 + tag.size()),
              image.substr(0, 600) + image.substr(600 + tag.size()));
    ASSERT_TRUE(SetExecutionLevel(&forMachine, Scope::Machine));
    EXPECT_EQ(forMachine, image);
    for (std::string odd : {FakeStubImage(STUB_IMAGE_SIZE), image + tag}) {
        const std::string before = odd;
        EXPECT_FALSE(SetExecutionLevel(&odd, Scope::User));
        EXPECT_EQ(odd, before);
    }
}

} // namespace
} // namespace velaset

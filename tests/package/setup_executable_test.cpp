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

TEST(SetupExecutable, IsTheStubImageFollowedByTheWholeCabinet) {
    // Sizes around the copy block: none, one short block, exact multiples, one byte over
    // and the 12,345 bytes that take a full and a partial block.
    for (std::size_t size : {0u, 1u, 7999u, 8000u, 8001u, 12345u, 16000u, 40001u}) {
        SCOPED_TRACE(size);
        ScratchFolder folder;
        const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
        const std::string cabinet = PatternBytes(size);
        ASSERT_TRUE(ScratchFolder::WriteBytes(folder.Path("setup.CAB"), cabinet));
        const std::string exe = folder.Path("Setup.exe");
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.Begin(exe).ok);
        ASSERT_TRUE(InserisciDLL(replacement, stub).ok);
        ASSERT_TRUE(InserisciFile(replacement, folder.Path("setup.CAB")).ok);
        ASSERT_TRUE(replacement.Commit().ok);

        const std::string written = ScratchFolder::ReadFile(exe);
        ASSERT_EQ(written.size(), STUB_IMAGE_SIZE + size);
        EXPECT_EQ(written.substr(0, STUB_IMAGE_SIZE), stub);
        EXPECT_EQ(written.substr(STUB_IMAGE_SIZE), cabinet);
    }
}

// A package for one user: the manifest's level becomes asInvoker in the same bytes; for
// the machine, and for an image without the one level, nothing changes.
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

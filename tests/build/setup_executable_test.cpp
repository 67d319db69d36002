#include "builder/build/setup_executable.h"

#include <gtest/gtest.h>

#include "common/constants.h"
#include "tests/build/build_test_folder.h"

namespace velaset {
namespace {

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
        TestFolder folder;
        const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
        const std::string cabinet = PatternBytes(size);
        ASSERT_TRUE(WriteWholeFile(folder.File("Avviora.exe"), stub));
        ASSERT_TRUE(WriteWholeFile(folder.File("setup.CAB"), cabinet));
        const std::string exe = folder.File("Setup.exe");

        ASSERT_TRUE(InserisciDLL(exe, StubImage{folder.File("Avviora.exe"), 0}).ok);
        ASSERT_TRUE(InserisciFile(exe, folder.File("setup.CAB")).ok);

        const std::string written = ReadWholeFile(exe);
        ASSERT_EQ(written.size(), STUB_IMAGE_SIZE + size);
        EXPECT_EQ(written.substr(0, STUB_IMAGE_SIZE), stub);
        EXPECT_EQ(written.substr(STUB_IMAGE_SIZE), cabinet);
    }
}

TEST(SetupExecutable, TakesTheStubFromTheEndOfTheWizardsOwnFile) {
    TestFolder folder;
    const std::string builderImage = PatternBytes(STUB_OFFSET_IN_BUILDER);
    const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
    ASSERT_TRUE(WriteWholeFile(folder.File("Velaset.exe"), builderImage + stub));
    const std::string exe = folder.File("Setup.exe");

    ASSERT_TRUE(InserisciDLL(exe, StubImage{folder.File("Velaset.exe"), STUB_OFFSET_IN_BUILDER}).ok);
    EXPECT_EQ(ReadWholeFile(exe), stub);
}

TEST(SetupExecutable, RefusesAStubImageOfTheWrongSizeOrKind) {
    struct Case {
        const char* what;
        std::string image;
    };
    const Case cases[] = {
        {"one byte short", FakeStubImage(STUB_IMAGE_SIZE - 1)},
        {"one byte long", FakeStubImage(STUB_IMAGE_SIZE + 1)},
        {"not a program", std::string(STUB_IMAGE_SIZE, 'x')},
        {"empty", std::string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        ASSERT_TRUE(WriteWholeFile(folder.File("Avviora.exe"), c.image));
        const std::string exe = folder.File("Setup.exe");
        platform::Status written = InserisciDLL(exe, StubImage{folder.File("Avviora.exe"), 0});
        ASSERT_FALSE(written.ok);
        EXPECT_EQ(written.message.rfind("Impossibile creare " + exe + ", ", 0), 0u) << written.message;
        EXPECT_NE(written.message.find(folder.File("Avviora.exe")), std::string::npos);
        EXPECT_FALSE(platform::PathExists(exe));
    }
}

TEST(SetupExecutable, ReportsTheFileThatCouldNotBeWrittenOrRead) {
    TestFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("Avviora.exe"), FakeStubImage(STUB_IMAGE_SIZE)));
    const std::string intoMissingFolder = folder.File(platform::JoinSourcePath("manca", "Setup.exe"));
    platform::Status created = InserisciDLL(intoMissingFolder, StubImage{folder.File("Avviora.exe"), 0});
    EXPECT_FALSE(created.ok);
    EXPECT_EQ(created.message.rfind("Impossibile creare " + intoMissingFolder + ", ", 0), 0u);

    const std::string exe = folder.File("Setup.exe");
    ASSERT_TRUE(InserisciDLL(exe, StubImage{folder.File("Avviora.exe"), 0}).ok);
    const std::string missingCabinet = folder.File("setup.CAB");
    platform::Status appended = InserisciFile(exe, missingCabinet);
    EXPECT_FALSE(appended.ok);
    EXPECT_EQ(appended.message.rfind("Impossibile accodare " + missingCabinet + ", ", 0), 0u);
}

} // namespace
} // namespace velaset

#include "builder/build/runtime_files.h"

#include <gtest/gtest.h>

#include "common/constants.h"
#include "tests/build/build_test_folder.h"

namespace velaset {
namespace {

TEST(FindInFolders, TakesTheFirstFolderThatHoldsTheFileAndNamesEveryPlaceLookedAt) {
    TestFolder folder;
    const std::string first = folder.File("uno"), second = folder.File("due"),
                      third = folder.File("tre");
    for (const std::string& f : {first, second, third})
        ASSERT_TRUE(platform::MakeDirectory(f).ok);
    ASSERT_TRUE(WriteWholeFile(platform::JoinSourcePath(second, "Avviora.exe"), "MZ"));
    ASSERT_TRUE(WriteWholeFile(platform::JoinSourcePath(third, "Avviora.exe"), "MZ"));

    std::string found;
    std::vector<std::string> lookedAt;
    ASSERT_TRUE(FindInFolders({first, second, third}, "Avviora.exe", &found, &lookedAt));
    EXPECT_EQ(found, platform::JoinSourcePath(second, "Avviora.exe"));
    EXPECT_EQ(lookedAt, (std::vector<std::string>{platform::JoinSourcePath(first, "Avviora.exe"),
                                                  platform::JoinSourcePath(second, "Avviora.exe")}));

    lookedAt.clear();
    EXPECT_FALSE(FindInFolders({first}, "avviora.dll", &found, &lookedAt));
    EXPECT_EQ(lookedAt, (std::vector<std::string>{platform::JoinSourcePath(first, "avviora.dll")}));
}

TEST(RuntimeSearchFolders, StartWithTheSystemFolderAndHoldNoFolderTwice) {
    const std::vector<std::string> folders = RuntimeSearchFolders();
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), platform::WithoutTrailingSeparator(platform::SystemFolder()));
    for (std::size_t i = 0; i < folders.size(); ++i)
        for (std::size_t j = i + 1; j < folders.size(); ++j)
            EXPECT_NE(folders[i], folders[j]);
}

TEST(ReadStubImage, GivesTheImageFromItsOffsetWhenItHasTheStubsSize) {
    TestFolder folder;
    const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
    ASSERT_TRUE(WriteWholeFile(folder.File("Velaset.exe"), std::string(100, 'b') + stub));
    std::string bytes;
    ASSERT_TRUE(ReadStubImage(StubImage{folder.File("Velaset.exe"), 100}, &bytes).ok);
    EXPECT_EQ(bytes, stub);

    platform::Status wrongOffset = ReadStubImage(StubImage{folder.File("Velaset.exe"), 99}, &bytes);
    EXPECT_FALSE(wrongOffset.ok);
    platform::Status missing = ReadStubImage(StubImage{folder.File("manca.exe"), 0}, &bytes);
    EXPECT_EQ(missing.message.rfind("Impossibile leggere " + folder.File("manca.exe") + ", ", 0), 0u);
}

} // namespace
} // namespace velaset

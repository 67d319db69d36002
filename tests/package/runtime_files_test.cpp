#include "builder/package/runtime_files.h"

#include <gtest/gtest.h>

#include "builder/project/failure_text.h"
#include "common/constants.h"
#include "tests/package/fake_stub.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

TEST(FindInFolders, TakesTheFirstFolderThatHoldsTheFileAndNamesEveryPlaceLookedAt) {
    velaset_test::ScratchFolder folder;
    const std::string first = folder.Path("uno"), second = folder.Path("due"),
                      third = folder.Path("tre");
    for (const std::string& f : {first, second, third})
        ASSERT_TRUE(platform::MakeDirectory(f).ok);
    ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(
        platform::JoinSourcePath(second, "Avviora.exe"), "MZ"));
    ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(
        platform::JoinSourcePath(third, "Avviora.exe"), "MZ"));

    std::string found;
    std::vector<std::string> lookedAt;
    ASSERT_TRUE(FindInFolders({first, second, third}, "Avviora.exe", &found, &lookedAt));
    EXPECT_EQ(found, platform::JoinSourcePath(second, "Avviora.exe"));
    EXPECT_EQ(lookedAt,
              (std::vector<std::string>{platform::JoinSourcePath(first, "Avviora.exe"),
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
    velaset_test::ScratchFolder folder;
    const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
    ASSERT_TRUE(velaset_test::ScratchFolder::WriteBytes(folder.Path("Velaset.exe"),
                                                        std::string(100, 'b') + stub));
    std::string bytes;
    ASSERT_TRUE(ReadStubImage(StubImage{folder.Path("Velaset.exe"), 100}, &bytes).ok);
    EXPECT_EQ(bytes, stub);

    platform::Status wrongOffset = ReadStubImage(StubImage{folder.Path("Velaset.exe"), 99}, &bytes);
    EXPECT_FALSE(wrongOffset.ok);
    platform::Status missing = ReadStubImage(StubImage{folder.Path("manca.exe"), 0}, &bytes);
    EXPECT_EQ(
        FailureText(missing).rfind("Impossibile leggere " + folder.Path("manca.exe") + ", ", 0),
        0u);
}

} // namespace
} // namespace velaset

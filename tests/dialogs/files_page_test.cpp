// The files page: the file dialog's result, adding through the check, deleting rows.
#include "builder/dialogs/files_page.h"

#include <gtest/gtest.h>

#include "platform/source_path.h"
#include "tests/script/script_test_support.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using std::string_literals::operator""s;

TEST(FileDialogResult, OnePathOrAFolderWithNames) {
    const ChosenFiles one = SplitFileDialogResult("C:\\Src\\Demo.exe\0"s, 7);
    EXPECT_EQ(one.folder, "C:\\Src");
    EXPECT_EQ(one.paths, std::vector<std::string>{"C:\\Src\\Demo.exe"});

    const char sep = platform::SourceSeparator();
    const std::string folder = std::string("C:") + sep + "Src";
    const ChosenFiles many =
        SplitFileDialogResult(folder + "\0a.txt\0Guida lunga.hlp\0\0"s, folder.size() + 1);
    EXPECT_EQ(many.folder, folder);
    EXPECT_EQ(many.paths,
              (std::vector<std::string>{folder + sep + "a.txt", folder + sep + "Guida lunga.hlp"}));

    // At a drive root the folder already ends in the separator.
    const std::string root = std::string("C:") + sep;
    const ChosenFiles atRoot = SplitFileDialogResult(root + "\0a\0b\0\0"s, root.size() + 1);
    EXPECT_EQ(atRoot.paths, (std::vector<std::string>{root + "a", root + "b"}));

    EXPECT_TRUE(SplitFileDialogResult("", 0).paths.empty());
}

class FilesPageTest : public ::testing::Test {
  protected:
    velaset_test::ScratchFolder folder;
    Project project;
    FilesPage page{project, DefaultFolders{"", "", platform::SourceSeparator()}};

    ChosenFiles Chosen(const std::string& sub, const std::vector<std::string>& names) {
        ChosenFiles chosen{folder.Path(sub), {}};
        for (const std::string& name : names) {
            chosen.paths.push_back(folder.WriteFile(sub + "/" + name));
        }
        return chosen;
    }
};

TEST_F(FilesPageTest, AddReportsOneBoxPerRefusedFileAndKeepsTheButtonsAsTheyWere) {
    EXPECT_TRUE(page.Add(Chosen("A", {"a.txt", "b.txt", "c.txt", "d.txt"})).empty());
    const std::vector<std::string> boxes = page.Add(Chosen("B", {"a.txt", "e.txt", "b.txt"}));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].substr(0, 21), "I seguenti files:\r\n\r\n");
    EXPECT_EQ(project.Files().size(), 5u);
    EXPECT_FALSE(page.ButtonsEnabled());
}

TEST_F(FilesPageTest, DeletingThreeSelectedRowsRemovesExactlyThose) {
    page.Add(Chosen("A", {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}));
    page.Click(0, true);
    page.Click(2, true);
    page.Click(4, true);
    EXPECT_TRUE(page.ButtonsEnabled());
    EXPECT_TRUE(page.MenuOffersDestination(2));
    EXPECT_FALSE(page.MenuOffersDestination(1));
    page.DeleteSelected();
    ASSERT_EQ(project.Files().size(), 2u);
    EXPECT_EQ(platform::SourceFileName(project.Files()[0].path), "b.txt");
    EXPECT_EQ(platform::SourceFileName(project.Files()[1].path), "d.txt");
    EXPECT_FALSE(page.ButtonsEnabled());
    EXPECT_FALSE(page.IsSelected(0));
}

TEST_F(FilesPageTest, ButtonsFollowTheClickedRowAndNothingAfterDeleteAll) {
    page.Add(Chosen("A", {"a.txt", "b.txt"}));
    page.Click(0, true);
    page.Click(1, false); // unselecting a row disables them, even with row 0 selected
    EXPECT_FALSE(page.ButtonsEnabled());
    page.Click(1, true);
    page.DeleteAll();
    EXPECT_TRUE(project.Files().empty());
    EXPECT_FALSE(page.ButtonsEnabled());
    page.Add(Chosen("C", {"f.txt"}));
    EXPECT_FALSE(page.ButtonsEnabled());
    EXPECT_FALSE(page.IsSelected(0));
}

} // namespace
} // namespace velaset

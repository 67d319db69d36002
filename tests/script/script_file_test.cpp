// The script on disk: refusals name the field or file at fault and leave no script, a
// complete script replaces an older one, and no temporary file is left behind.
#include "builder/script/script_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "builder/project/failure_text.h"
#include "platform/file_access.h"
#include "tests/script/script_test_support.h"
#include "tests/support/sample_project.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

class ScriptFileTest : public ::testing::Test {
  protected:
    ScratchFolder folder;
    Project project = velaset_test::SampleProject(folder);
    std::string script = folder.Path("setup.inf");

    bool ScriptExists() const { return platform::PathExists(script); }
    bool TemporaryLeft() const { return platform::PathExists(script + ".tmp"); }
};

TEST_F(ScriptFileTest, VanishedFileFailsNamingItAndWritesNothing) {
    const std::string help = project.Files()[1].path;
    std::filesystem::remove(std::filesystem::path(help));
    const platform::Status status = WriteSetupScript(project, ScriptVariant::Full, script);
    ASSERT_FALSE(status.ok);
    EXPECT_NE(status.message.find(help), std::string::npos) << status.message;
    EXPECT_FALSE(ScriptExists());
    EXPECT_FALSE(TemporaryLeft());
}

TEST_F(ScriptFileTest, FieldThatWouldBreakItsLineIsRefusedByName) {
    struct Case {
        const char* field;
        std::function<void(Project&)> spoil;
        bool refused;
    };
    const Case cases[] = {
        {"Caption", [](Project& p) { p.Caption = "Due\r\nrighe"; }, true},
        {"EticB", [](Project& p) { p.EticB = "fine\n"; }, true},
        {"Lancio", [](Project& p) { p.Lancio = "Demo.exe\r"; }, true},
        {"Stop", [](Project& p) { p.Stop = std::string("a\0b", 3); }, true},
        {"Titolo", [](Project& p) { p.Titolo = "Demo \xce\xa9"; }, true}, // Greek omega
        {"Link 2",
         [](Project& p) {
             p.ReplaceLink(1, {"Demo.exe", "Demo\n", "D"});
         },
         true},
        {"Chiavi 1",
         [](Project& p) { p.ReplaceRegistryEntry(0, "HKLM,A,\"\",,\"riga\r\nB\""); },
         true},
        {"Etic2A", [](Project& p) { p.Etic2A = "Uno \xc2\xb6 due"; }, true}, // the mark itself
        // Etic2A keeps its lines through the encoded form; the euro sign is Windows-1252.
        {"Etic2A", [](Project& p) { p.Etic2A = "Riga uno\r\nRiga due, 5 \xe2\x82\xac"; }, false},
        // A field that the script does not write cannot break it.
        {"TestoSfondo", [](Project& p) { p.TestoSfondo = "x\ny"; }, false},
    };
    for (const Case& c : cases) {
        Project spoilt = project;
        c.spoil(spoilt);
        const platform::Status status = WriteSetupScript(spoilt, ScriptVariant::Full, script);
        EXPECT_EQ(!status.ok, c.refused) << c.field << ": " << status.message;
        if (c.refused) {
            EXPECT_NE(status.message.find(std::string("Il campo ") + c.field + " "),
                      std::string::npos)
                << status.message;
            EXPECT_FALSE(ScriptExists()) << c.field;
        }
        std::filesystem::remove(std::filesystem::path(script));
        EXPECT_FALSE(TemporaryLeft()) << c.field;
    }
}

TEST_F(ScriptFileTest, LinkFieldsAreNotCheckedWhereTheVariantWritesNoLinks) {
    project.ReplaceLink(0, {"Demo.exe", "Demo\r\n", "P"});
    EXPECT_TRUE(WriteSetupScript(project, ScriptVariant::DistributionOnly, script).ok);
    EXPECT_FALSE(WriteSetupScript(project, ScriptVariant::Full, script).ok);
}

TEST_F(ScriptFileTest, RefusalLeavesAnEarlierScriptUntouched) {
    ASSERT_TRUE(WriteSetupScript(project, ScriptVariant::Full, script).ok);
    const std::string before = ScratchFolder::ReadFile(script);
    project.Caption = "rotta\n";
    EXPECT_FALSE(WriteSetupScript(project, ScriptVariant::Full, script).ok);
    EXPECT_EQ(ScratchFolder::ReadFile(script), before);
}

TEST_F(ScriptFileTest, NewScriptReplacesALongerOneCompletely) {
    velaset_test::ScratchFolder other;
    other.WriteFile("setup.inf", std::string(20000, 'x'));
    const std::string target = other.Path("setup.inf");
    ASSERT_TRUE(WriteSetupScript(project, ScriptVariant::DistributionOnly, target).ok);
    std::string expected;
    ASSERT_TRUE(BuildSetupScript(project, ScriptVariant::DistributionOnly, &expected).ok);
    EXPECT_EQ(ScratchFolder::ReadFile(target), expected);
    EXPECT_FALSE(platform::PathExists(target + ".tmp"));
}

TEST_F(ScriptFileTest, MissingFolderIsReportedWithPathAndReason) {
    const std::string target = folder.Path("no such folder/setup.inf");
    const platform::Status status = WriteSetupScript(project, ScriptVariant::Full, target);
    ASSERT_FALSE(status.ok);
    const std::string prefix = "Impossibile creare " + target + ", ";
    EXPECT_EQ(FailureText(status).substr(0, prefix.size()), prefix);
    EXPECT_GT(FailureText(status).size(), prefix.size());
}

TEST_F(ScriptFileTest, UsersRootIsWrittenAsHkuWhileTheProjectKeepsHcu) {
    EXPECT_TRUE(project.AddRegistryEntry("HCU,Software\\Demo,\"\",,\"1\""));
    std::string bytes;
    ASSERT_TRUE(BuildSetupScript(project, ScriptVariant::Full, &bytes).ok);
    EXPECT_NE(bytes.find("\r\nHKU,Software\\Demo,\"\",,\"1\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nHKU,Software\\Demo\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("HCU"), std::string::npos);
    EXPECT_EQ(project.RegistryEntries().back(), "HCU,Software\\Demo,\"\",,\"1\"");
    // Only the root token changes: "HCUX" is no root of HKEY_USERS.
    EXPECT_EQ(RegistryEntryForScript("HCUX,a"), "HCUX,a");
    EXPECT_EQ(RegistryEntryForScript("HCU"), "HKU");
}

} // namespace
} // namespace velaset

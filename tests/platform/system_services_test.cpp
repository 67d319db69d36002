#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace {

using platform::MessageAnswer, platform::MessageIcon;

TEST(Registry, ReadsTheProgramFilesFolder) {
    std::string value;
    ASSERT_TRUE(platform::ReadProgramFilesDir(&value));
    if (std::getenv("VELASET_PROGRAM_FILES") == nullptr)
        EXPECT_EQ(value, "C:\\Program Files");
}

TEST(SingleInstance, ASecondClaimOfTheSameNameFails) {
    // The claim is machine-wide: a name of this run alone.
    const std::string name = "velaset-test-instance-" + std::to_string(platform::CurrentProcessId());
    EXPECT_TRUE(platform::ClaimSingleInstance(name));
    EXPECT_FALSE(platform::ClaimSingleInstance(name));
    EXPECT_TRUE(platform::ClaimSingleInstance(name + "-other"));
}

#ifdef _WIN32
const char kExitThree[] = "cmd.exe /c exit 3";
#else
const char kExitThree[] = "sh -c 'exit 3'";
#endif

TEST(Process, RunsACommandToItsExitCodeAndReportsAProgramThatDoesNotExist) {
    int exitCode = -1;
    ASSERT_TRUE(platform::RunAndWait(kExitThree, &exitCode));
    EXPECT_EQ(exitCode, 3);
    const std::string missing = "velaset-no-such-program-xyz";
    for (const platform::Status& failed : {platform::RunAndWait(missing, &exitCode),
                                           platform::RunProgram({missing, "a b"}, &exitCode)}) {
        EXPECT_EQ(failed.operation, platform::Operation::Start);
        EXPECT_EQ(failed.subject, missing);
        EXPECT_EQ(failed.kind, platform::ErrorKind::NotFound);
    }
    EXPECT_EQ(platform::FindProgram(missing), "");
}

#ifdef _WIN32
const char kArgsEcho[] = "args_echo.exe";
#else
const char kArgsEcho[] = "args_echo";
#endif

TEST(Process, GivesTheProgramEachArgumentAsItIs) {
    velaset_test::ScratchFolder folder;
    const std::string out = folder.Path("argomenti.txt");
    const std::vector<std::string> given = {
        "semplice", "due parole", "virgolette \"dentro\"", "C:\\cartella con spazi\\",
        "a\\\\\"b", "",           "\\\\server\\condivisa", "'apici' e $HOME",
    };
    std::vector<std::string> arguments = {
        platform::JoinSourcePath(platform::ApplicationFolder(), kArgsEcho), out};
    arguments.insert(arguments.end(), given.begin(), given.end());
    int exitCode = -1;
    ASSERT_TRUE(platform::RunProgram(arguments, &exitCode));
    EXPECT_EQ(exitCode, 7);
    std::ifstream written(out, std::ios::binary);
    std::vector<std::string> received;
    for (std::string line; std::getline(written, line);)
        received.push_back(line);
    EXPECT_EQ(received, given);
}

TEST(Process, FindsProgramsByTheirCommandNameOrPath) {
#ifdef _WIN32
    EXPECT_FALSE(platform::FindProgram("cmd").empty());
    EXPECT_FALSE(platform::FindProgram("cmd.exe").empty());
#else
    EXPECT_EQ(platform::FindProgram("sh").substr(0, 1), "/");
#endif
    const std::string own = platform::JoinSourcePath(platform::ApplicationFolder(), kArgsEcho);
    EXPECT_FALSE(platform::FindProgram(own).empty());
    EXPECT_EQ(platform::FindProgram(platform::ApplicationFolder()), "") << "a folder is no program";
}

TEST(MessageBox, RecordersSeeEveryBoxAnswerQuestionsAndNest) {
    platform::MessageBoxRecorder outer(MessageAnswer::No);
    {
        platform::MessageBoxRecorder inner;
        platform::ShowMessageBox("Velaset", "dentro", MessageIcon::Stop);
        EXPECT_EQ(inner.Calls().size(), 1u);
    }
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Le voci non possono essere vuote.",
                                       MessageIcon::Exclamation),
              MessageAnswer::Ok);
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Vuoi eliminare la voce selezionata?",
                                       MessageIcon::Question, platform::MessageButtons::YesNo),
              MessageAnswer::No);
    ASSERT_EQ(outer.Calls().size(), 2u);
    EXPECT_EQ(outer.Calls()[0].text, "Le voci non possono essere vuote.");
    EXPECT_EQ(outer.Calls()[1].icon, MessageIcon::Question);
}

TEST(MessageBox, StandardErrorTakesTheDefaultAnswer) {
    platform::MessageBoxCall question{"Velaset", "Sicuro?\r\nDavvero?", MessageIcon::Question,
                                      platform::MessageButtons::YesNo};
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::MessageBoxToStandardError(question), MessageAnswer::Yes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Velaset: Sicuro? Davvero?\n");
}

} // namespace

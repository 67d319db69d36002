#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/single_instance.h"

namespace {

TEST(Registry, ReadsTheProgramFilesFolder) {
    std::string value;
    ASSERT_TRUE(platform::ReadProgramFilesDir(&value));
    if (std::getenv("VELASET_PROGRAM_FILES") == nullptr)
        EXPECT_EQ(value, "C:\\Program Files");
}

TEST(SingleInstance, ASecondClaimOfTheSameNameFails) {
    EXPECT_TRUE(platform::ClaimSingleInstance("velaset-test-instance"));
    EXPECT_FALSE(platform::ClaimSingleInstance("velaset-test-instance"));
    EXPECT_TRUE(platform::ClaimSingleInstance("velaset-test-other-instance"));
}

#ifdef _WIN32
const char kExitThree[] = "cmd.exe /c exit 3";
#else
const char kExitThree[] = "sh -c 'exit 3'";
#endif

TEST(Process, RunsACommandAndReturnsItsExitCode) {
    int exitCode = -1;
    ASSERT_TRUE(platform::RunAndWait(kExitThree, &exitCode));
    EXPECT_EQ(exitCode, 3);
}

TEST(Process, ReportsAProgramThatCannotStart) {
    int exitCode = 0;
    platform::Status failed = platform::RunAndWait("velaset-no-such-program-xyz", &exitCode);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.operation, platform::Operation::Start);
    EXPECT_EQ(failed.subject, "velaset-no-such-program-xyz");
    EXPECT_EQ(failed.kind, platform::ErrorKind::NotFound);
}

} // namespace

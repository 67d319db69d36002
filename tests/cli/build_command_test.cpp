#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_kit.h"
#include "tests/cli/command_run.h"

namespace velaset {
namespace cli {
namespace {

// Runs "velaset build ARGS..." in process; the error stream goes to *err.
int RunBuild(std::vector<std::string> args, std::string* err) {
    velaset_test::ScratchFolder streams;
    args.insert(args.begin(), "build");
    velaset_test::CommandRun run = velaset_test::RunVelaset(streams, std::move(args));
    *err = run.err;
    return run.code;
}

TEST(BuildCommand, RefusesBadUsageWithExitCode2) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "manca il file di progetto"},
        {{"a.mip", "b.mip"}, "argomento in più: b.mip"},
        {{"a.mip", "-o"}, "-o vuole il percorso dell'eseguibile"},
        {{"a.mip", "--fast"}, "opzione sconosciuta: --fast"},
        {{"a.mip", "--arch"}, "--arch vuole x86 o x64"},
        {{"a.mip", "--arch", "amd64"}, "--arch vuole x86 o x64"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(RunBuild(c.args, &err), kExitUsage);
        EXPECT_NE(err.find(std::string("velaset build: ") + c.message), std::string::npos) << err;
        EXPECT_NE(err.find("uso: velaset build PROGETTO.mip"), std::string::npos);
    }
}

TEST(BuildCommand, FailsWithExitCode1WhenTheProjectCannotBeRead) {
    velaset_test::ScratchFolder folder;
    std::string err;
    EXPECT_EQ(RunBuild({folder.Path("Manca.mip"), "--quiet"}, &err), kExitFailed);
    EXPECT_NE(err.find(folder.Path("Manca.mip")), std::string::npos) << err;
    EXPECT_FALSE(platform::PathExists(folder.Path("Manca.exe")));
}

TEST(BuildCommand, HelpNeedsNoProject) {
    std::string err;
    EXPECT_EQ(RunBuild({"--help"}, &err), kExitOk);
    EXPECT_TRUE(err.empty());
}

} // namespace
} // namespace cli
} // namespace velaset

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_kit.h"
#include "cli/commands.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace cli {
namespace {

// Runs "velaset build ARGS..." in process; the error stream goes to *err.
int RunBuild(std::vector<std::string> args, std::string* err) {
    args.insert(args.begin(), "build");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    std::FILE* out = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    SetOutputs(out, errFile);
    int code = RunBuildCommand(static_cast<int>(argv.size()), argv.data());
    SetOutputs(nullptr, nullptr);
    std::rewind(errFile);
    char buffer[4096];
    std::size_t got;
    err->clear();
    while ((got = std::fread(buffer, 1, sizeof buffer, errFile)) > 0)
        err->append(buffer, got);
    std::fclose(out);
    std::fclose(errFile);
    return code;
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

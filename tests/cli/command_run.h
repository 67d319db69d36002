// The velaset command run in process, its output and error streams caught in files of a
// scratch folder.
#ifndef VELASET_TESTS_CLI_COMMAND_RUN_H
#define VELASET_TESTS_CLI_COMMAND_RUN_H

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_kit.h"
#include "cli/dispatcher.h"
#include "platform/file_access.h"
#include "tests/support/scratch_folder.h"

namespace velaset_test {

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

// Runs "velaset ARGS..."; the streams go to out.txt and err.txt in folder.
inline CommandRun RunVelaset(const ScratchFolder& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "velaset");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    const std::string outPath = folder.Path("out.txt");
    const std::string errPath = folder.Path("err.txt");
    std::FILE* out = platform::OpenFile(outPath, "wb");
    std::FILE* err = platform::OpenFile(errPath, "wb");
    velaset::cli::SetOutputs(out, err);
    const int code = velaset::cli::RunVelaset(static_cast<int>(args.size()), argv.data());
    velaset::cli::SetOutputs(nullptr, nullptr);
    std::fclose(out);
    std::fclose(err);
    return {code, ScratchFolder::ReadFile(outPath), ScratchFolder::ReadFile(errPath)};
}

// A test that runs velaset with its streams in a scratch folder of its own.
class VelasetTest : public ::testing::Test {
  protected:
    CommandRun Velaset(std::vector<std::string> args) {
        return RunVelaset(folder, std::move(args));
    }
    ScratchFolder folder;
};

} // namespace velaset_test

#endif

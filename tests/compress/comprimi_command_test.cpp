// velaset comprimi: exit status from Comprimi's result and one line per message on
// standard error (the end-to-end packages show a cabinet written by it).
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/comprimi_command.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

namespace {

struct CommandRun {
    int status;
    std::string errors;
};

CommandRun RunCommandLine(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    std::fflush(stderr);
    char name[] = "/tmp/velaset-stderr-XXXXXX";
    int capture = mkstemp(name);
    int saved = dup(2);
    dup2(capture, 2);
    CommandRun run;
    run.status = RunComprimiCommand(static_cast<int>(argv.size()), argv.data());
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(capture);
    std::vector<uint8_t> bytes = ReadBytes(name);
    run.errors.assign(bytes.begin(), bytes.end());
    unlink(name);
    return run;
}

TEST(ComprimiCommand, PrintsEachBoxOnOneLineAndExitsOneOnFailure) {
    ScratchDir dir;
    std::string missing = dir.File("assente.txt");
    CommandRun run = RunCommandLine({dir.CabDir(), "setup", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "DarEvizeza: FCIAddFile() failed: code 1 [Failure opening file to be "
                          "stored in cabinet] <" +
                              missing + ">\nDarEvizeza: Impossibile creare il file CAB!!!\n");
    EXPECT_TRUE(dir.Names().empty());
}

TEST(ComprimiCommand, RefusesWrongArgumentsWithItsUsage) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"dir/", "base"},
                                                 {"dir/", "base", "list", "12x"},
                                                 {"dir/", "base", "list", "-1"},
                                                 {"dir/", "base", "list", "4294967296"}}) {
        CommandRun run = RunCommandLine(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(
            run.errors.find("uso: velaset comprimi [--lzx] CARTELLA BASE ELENCO [DIMENSIONE]"),
            std::string::npos);
    }
}

} // namespace

// The velaset command: builds installation packages from project files.
#include <string>
#include <vector>

#include "cli/dispatcher.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
    platform::UseUtf8StandardStreams();
    std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(&arg[0]);
    pointers.push_back(nullptr);
    return velaset::cli::RunVelaset(static_cast<int>(args.size()), pointers.data());
}

// The velaset command: builds installation packages from project files.
#include <cstdio>
#include <cstring>

#include "cli/comprimi_command.h"
#include "common/constants.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("velaset %s\n", VELASET_VERSION_TEXT);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "comprimi") == 0) {
        return RunComprimiCommand(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "usage: velaset COMMAND ...\n");
    return 2;
}

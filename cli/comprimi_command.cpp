// velaset comprimi [--lzx] CABDIR BASE LIST [MAXSIZE]: one call of Comprimi with these
// arguments, or with --lzx of ComprimiConMetodo with LZX (where "|" joins paths into one
// folder).
#include "cli/comprimi_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compress/comprimi.h"

namespace {

bool ParseSize(const char* text, uint32_t* size) {
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (text[0] == '\0' || text[0] == '-' || *end != '\0' || errno != 0 || value > 0xFFFFFFFFull) {
        return false;
    }
    *size = static_cast<uint32_t>(value);
    return true;
}

} // namespace

int RunComprimiCommand(int argc, char** argv) {
    uint32_t maxSize = 0;
    bool lzx = argc > 0 && std::string(argv[0]) == "--lzx";
    if (lzx) {
        argc--;
        argv++;
    }
    if (argc < 3 || argc > 4 || (argc == 4 && !ParseSize(argv[3], &maxSize))) {
        std::fprintf(stderr, "usage: velaset comprimi [--lzx] CABDIR BASE LIST [MAXSIZE]\n");
        return 2;
    }
    if (lzx) {
        return ComprimiConMetodo(argv[0], argv[1], argv[2], maxSize, COMPRIMI_LZX, nullptr,
                                 nullptr) == 1
                   ? 0
                   : 1;
    }
    return Comprimi(argv[0], argv[1], argv[2], maxSize) == 1 ? 0 : 1;
}

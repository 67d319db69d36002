// Exit codes, output streams and error reports of the velaset command.
#include "cli/command_kit.h"

#include <cstring>

#include "builder/project/failure_text.h"

namespace velaset {
namespace cli {
namespace {

std::FILE* g_out = nullptr;
std::FILE* g_err = nullptr;

} // namespace

std::FILE* Out() {
    return g_out != nullptr ? g_out : stdout;
}
std::FILE* Err() {
    return g_err != nullptr ? g_err : stderr;
}

void SetOutputs(std::FILE* out, std::FILE* err) {
    g_out = out;
    g_err = err;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

int Failed(const platform::Status& status) {
    return Failed(FailureText(status));
}

int Failed(const std::string& message) {
    std::fprintf(Err(), "velaset: %s\n", message.c_str());
    return kExitFailed;
}

int UsageError(const std::string& command, const std::string& message, const char* usage) {
    std::fprintf(Err(), "velaset %s: %s\nuso: %s\n", command.c_str(), message.c_str(), usage);
    return kExitUsage;
}

} // namespace cli
} // namespace velaset

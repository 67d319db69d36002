// POSIX implementation of platform/interrupt.h: SIGINT and SIGTERM set a flag.
#include "platform/interrupt.h"

#include <csignal>

namespace platform {
namespace {

volatile std::sig_atomic_t g_signal = 0;
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

// A second interrupt while the first is being handled ends the program at once, as
// the user insists.
void Caught(int signal) {
    if (g_signal != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_signal = signal;
}

} // namespace

ScopedInterruptCatcher::ScopedInterruptCatcher() {
    g_signal = 0;
    struct sigaction action = {};
    action.sa_handler = Caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

ScopedInterruptCatcher::~ScopedInterruptCatcher() {
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

bool InterruptRequested() {
    return g_signal != 0;
}

int InterruptExitCode() {
    return 128 + (g_signal == SIGTERM ? SIGTERM : SIGINT);
}

} // namespace platform

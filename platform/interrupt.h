// Interrupts of a command-line program: Ctrl-C and termination requests (SIGINT and
// SIGTERM on POSIX; the console's Ctrl-C, Ctrl-Break, close, log-off and shut-down events
// on Windows) turned into a request that the work in progress checks, so that it stops
// at the next check and removes its working files itself.
#ifndef VELASET_PLATFORM_INTERRUPT_H
#define VELASET_PLATFORM_INTERRUPT_H

namespace platform {

// Catches the interrupts for the lifetime of the object, then restores what was there
// before (a request that arrived meanwhile is forgotten). One at a time per process.
class ScopedInterruptCatcher {
  public:
    ScopedInterruptCatcher();
    ~ScopedInterruptCatcher();
    ScopedInterruptCatcher(const ScopedInterruptCatcher&) = delete;
    ScopedInterruptCatcher& operator=(const ScopedInterruptCatcher&) = delete;
};

// True once an interrupt has arrived while a catcher was installed. Safe from any thread.
bool InterruptRequested();

// The exit code that tells how the program was interrupted, as shells report a program
// ended by that signal: 130 for Ctrl-C (and Ctrl-Break), 143 for a termination request.
int InterruptExitCode();

} // namespace platform

#endif

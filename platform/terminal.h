// Whether an output stream of the process is a terminal (progress is drawn as a bar
// there, written as plain lines otherwise).
#ifndef VELASET_PLATFORM_TERMINAL_H
#define VELASET_PLATFORM_TERMINAL_H

namespace platform {

bool StandardErrorIsTerminal();

} // namespace platform

#endif

// Starting programs and waiting for them.
#ifndef VELASET_PLATFORM_PROCESS_H
#define VELASET_PLATFORM_PROCESS_H

#include <string>

#include "platform/status.h"

namespace platform {

// Runs a command line (Windows rules: the program, then its arguments) and waits
// until it ends; *exitCode gets its exit code.
Status RunAndWait(const std::string& commandLine, int* exitCode);

// Opens a text file in the editor and waits until the editor ends: Notepad on
// Windows (window messages keep being handled while waiting); $VISUAL, then $EDITOR,
// then vi on POSIX. An editor that ends with an exit code other than 0 has failed
// (ExitedWith).
Status EditTextFileAndWait(const std::string& path);

// The failure of a program that ended with exitCode: kind Abnormal, operation Start, the
// command line as subject and "codice di uscita N" as message.
Status ExitedWith(int exitCode, const std::string& commandLine);

// The identifier of the running process (for names of working files).
unsigned long CurrentProcessId();

} // namespace platform

#endif

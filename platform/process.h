// Starting programs and waiting for them.
#ifndef VELASET_PLATFORM_PROCESS_H
#define VELASET_PLATFORM_PROCESS_H

#include <string>
#include <vector>

#include "platform/status.h"

namespace platform {

// Runs a command line (Windows rules: the program, then its arguments) and waits
// until it ends; *exitCode gets its exit code.
Status RunAndWait(const std::string& commandLine, int* exitCode);

// Runs a program with the given arguments (arguments[0] is the program: a path, or a
// name looked up like a command) and waits until it ends; *exitCode gets its exit code.
// Each argument reaches the program as it is, blanks and quotes included. The program
// shares the caller's standard input and error streams; what it writes on its standard
// output is dropped (programs such as the signing tool report success there, which
// the caller tells the user in its own words). On POSIX it runs without the terminal
// (a session of its own), so that it cannot wait for an answer typed there. A program that cannot be started fails with
// Operation::Start on arguments[0] (ErrorKind::NotFound when it does not exist); one
// that ends through a signal (POSIX) fails as ErrorKind::Abnormal.
Status RunProgram(const std::vector<std::string>& arguments, int* exitCode);

// The full path of the program that a command name starts (searched in the PATH; on
// Windows also with ".exe"); empty when there is none.
std::string FindProgram(const std::string& name);

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

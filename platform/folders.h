// The folders the system names. Results are source paths (this machine's form).
#ifndef VELASET_PLATFORM_FOLDERS_H
#define VELASET_PLATFORM_FOLDERS_H

#include <string>

namespace platform {

// The system's temporary folder without its trailing separator; the application
// folder when the system reports none.
std::string TempFolder();

// The environment variable that moves the temporary folder, as the user would set it:
// "TMPDIR" on POSIX, "TMP" on Windows.
const char* TempFolderVariable();

// The Windows directory, trimmed, without trailing separator. On POSIX the value of
// VELASET_WINDOWS_DIR, or empty (there is none).
std::string WindowsFolder();

// The system directory, trimmed, followed by the separator. On POSIX the value of
// VELASET_SYSTEM_DIR, else the folder that holds this build's Windows runtime files
// (the application folder's "win32" sub-folder).
std::string SystemFolder();

// The folder of the running program, without trailing separator.
std::string ApplicationFolder();

} // namespace platform

#endif

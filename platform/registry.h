// The registry services the builder uses.
#ifndef VELASET_PLATFORM_REGISTRY_H
#define VELASET_PLATFORM_REGISTRY_H

#include <string>

namespace platform {

// ProgramFilesDir (REG_SZ) under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion", cut at its first NUL. False when the
// key cannot be opened or the value is missing or not a string. On POSIX the value
// is VELASET_PROGRAM_FILES, else "C:\Program Files".
bool ReadProgramFilesDir(std::string* value);

// Registers the ".mip" file type under HKEY_CLASSES_ROOT: ".mip" = "Velaset.file",
// "Velaset.file" = "Velaset file", "Velaset.file\shell\open\command" = openCommand,
// "Velaset.file\DefaultIcon" = defaultIcon. False when a write failed (callers may
// ignore it). POSIX has no file-type registry: nothing is written, true.
bool RegisterProjectFileType(const std::string& openCommand, const std::string& defaultIcon);

} // namespace platform

#endif

// The ".mip" project file: the save writes a Project to ProgFile, the load reads
// ProgFile back into a Project. Only ReadIni and WriteIni touch the file.
#ifndef VELASET_BUILDER_PROJECT_PROJECT_FILE_H
#define VELASET_BUILDER_PROJECT_PROJECT_FILE_H

#include <string>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// Writes the project to project.ProgFile, key by key in the fixed order. Every text is
// checked first (Windows-1252, line breaks), so a refused project writes nothing;
// a write that fails stops the save and is reported with the file's path.
platform::Status SaveProject(const Project& project);

// The same save into another file (the ProgFile key still holds project.ProgFile).
// The file is written once, in place of the old one in one step: it is either as it
// was or saved, never half-written.
platform::Status SaveProjectTo(const Project& project, const std::string& file);

// The bytes that the save writes into a new file, without writing any file.
platform::Status ProjectFileText(const Project& project, std::string* bytes);

// Reads project->ProgFile into *project. applicationFolder takes an ExeFile whose
// folder no longer exists. A file whose flags or counts are not numbers (or counts
// above 32767) is refused with a message naming the file and the key, and *project
// stays as it was.
platform::Status LoadProject(Project* project, const std::string& applicationFolder);

} // namespace velaset

#endif

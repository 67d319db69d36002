// The ".mip" project file: the save writes a Project to ProgFile, the load reads
// ProgFile back into a Project. Only ReadIni and WriteIni touch the file.
#ifndef VELASET_BUILDER_PROJECT_PROJECT_FILE_H
#define VELASET_BUILDER_PROJECT_PROJECT_FILE_H

#include <string>

#include "builder/project/load_report.h"
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

// Reads project->ProgFile into *project. A file in UTF-8 that starts with the byte order
// mark is read as Windows-1252 when every character fits (the report says so), else
// refused naming its line. A file without a [Progetto] section is not a project
// (refused with kind Refused); a file whose flags or counts are not numbers (or
// counts above 32767) is refused with a message naming the file and the key. Either way
// *project stays as it was.
//
// A listed file that is missing at its stored path but lies at the same place under the
// folder the project file is in now (the stored ProgFile tells the folder it was saved
// in) is taken from there. What the load leaves out or finds elsewhere goes to *report
// (when given); the load itself shows nothing.
//
// An ExeFile whose folder no longer exists is taken to the same place under the
// project's new folder when that folder exists; otherwise to applicationFolder, or kept
// as stored when applicationFolder is empty (for a caller that refuses to build there).
platform::Status LoadProject(Project* project, const std::string& applicationFolder,
                             LoadReport* report = nullptr);

// Whether the file is a project, before anything else is done with it (a lock file
// beside it, above all): a readable file with a [Progetto] section, in Windows-1252 or in
// UTF-8 with its byte order mark and only characters that Windows-1252 has. Otherwise
// the refusal that LoadProject gives (kind Refused for a file that is no project).
platform::Status CheckProjectFile(const std::string& file);

} // namespace velaset

#endif

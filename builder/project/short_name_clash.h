// The short-name rule of the files list: the cabinet holds all files flat under their
// 8.3 short names, so no two listed files may share one.
#ifndef VELASET_BUILDER_PROJECT_SHORT_NAME_CLASH_H
#define VELASET_BUILDER_PROJECT_SHORT_NAME_CLASH_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

// The file name of a project file's short path as the system gives it (empty when it
// gives none); the file is packed under it when it is a valid 8.3 name
// (package_names.h).
std::string ShortName(const std::string& sourcePath);

// True when some listed file clashes with path by the rule of ShortNameIndex (the same
// ShortName, compared in upper case, or the same long name where a name is made);
// the search runs from the first entry and stops at the first clash, whose path goes
// to *clashingPath (when given). Two files without a short form clash.
bool ShortNameClash(const std::string& path, const std::vector<FileEntry>& files,
                    std::string* clashingPath = nullptr);

} // namespace velaset

#endif

// The short-name rule of the files list: the cabinet holds all files flat under their
// 8.3 short names, so no two listed files may share one.
#ifndef VELASET_BUILDER_PROJECT_SHORT_NAME_CLASH_H
#define VELASET_BUILDER_PROJECT_SHORT_NAME_CLASH_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

// The name under which a project file is packed and named in the script: the file
// name of its short path (empty when the system gives no short form).
std::string ShortName(const std::string& sourcePath);

// True when some listed file has the same ShortName as path, compared in upper case;
// the search runs from the first entry and stops at the first clash, whose path goes
// to *clashingPath (when given). Two files without a short form clash.
bool ShortNameClash(const std::string& path, const std::vector<FileEntry>& files,
                    std::string* clashingPath = nullptr);

} // namespace velaset

#endif

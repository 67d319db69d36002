// The 8.3 names under which a package holds its files. A file keeps the short name the
// system gives it whenever that is a valid 8.3 name. A volume without 8.3 names
// (Windows 8 and later make none on new non-system volumes) answers with the long name
// instead, which cannot stand in the cabinet's "+"-separated list nor in the script's
// lines; such a file gets a name made by the classic rule, BASE~N.EXT, with the first N
// that no other file of the package has. The name is used everywhere the short name is:
// the clash check, the cabinet, the script and its long-name sections.
#ifndef VELASET_BUILDER_PROJECT_PACKAGE_NAMES_H
#define VELASET_BUILDER_PROJECT_PACKAGE_NAMES_H

#include <string>
#include <unordered_map>
#include <vector>

#include "builder/project/project.h"
#include "platform/short_name_rule.h"
#include "platform/short_path_cache.h"

namespace velaset {

// The package name of every file, in list order: the system's short name when it is a
// valid 8.3 name, else a made one (numbered in list order among all the package's
// names, compared ignoring case); "" for a file the system gives no short form (gone).
std::vector<std::string> PackageShortNames(const std::vector<FileEntry>& files,
                                           platform::ShortPathCache& shortPaths);

// The same for files whose system short names (file names of their short paths, "" for
// none) are given, in the same order.
std::vector<std::string> PackageNames(const std::vector<FileEntry>& files,
                                      const std::vector<std::string>& systemNames);

// True when the system's short name of a file is its package name; false when the
// package makes one (the system gave a name that is no 8.3 name).
inline bool KeepsSystemName(const std::string& systemName) {
    return systemName.empty() || platform::IsShortName(systemName);
}

// The files of a list by the names they would take, for the clash check. Two files
// clash when the system gives both the same 8.3 name (two files without any short form
// included), and when either of them gets a made name and both have the same long name:
// made names never meet, but both files would be installed under that one long name.
class ShortNameIndex {
  public:
    struct Clash {
        std::string listedPath; // the file already listed; empty when there is no clash
        std::string shortName;  // the 8.3 name the two share, upper case
    };

    // The first listed file that path, whose system short name is systemName, clashes
    // with.
    Clash Find(const std::string& path, const std::string& systemName) const;

    // Lists path; the first file of each name stays the one a clash names.
    void Add(const std::string& path, const std::string& systemName);

  private:
    // The first listed path of each key: "s" and the upper 8.3 name the system gave,
    // "l" and the upper long name of every file, "m" and the upper long name of a file
    // whose name is made.
    std::unordered_map<std::string, std::string> names_;
};

} // namespace velaset

#endif

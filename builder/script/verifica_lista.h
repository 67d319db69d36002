// VerificaLista: the gate through which every file enters the project's files list.
// Exact duplicates are dropped silently, a file whose 8.3 name is already taken by a
// listed file is refused with the clash message, any other file is appended with the
// default destination code of the folder it was chosen from.
#ifndef VELASET_BUILDER_SCRIPT_VERIFICA_LISTA_H
#define VELASET_BUILDER_SCRIPT_VERIFICA_LISTA_H

#include <string>
#include <unordered_set>

#include "builder/project/package_names.h"
#include "builder/project/project.h"
#include "builder/script/destination_code.h"
#include "platform/short_path_cache.h"

namespace velaset {

enum class AddOutcome {
    Added,     // appended with its default code
    Duplicate, // the same path is listed already: nothing happens, nothing is shown
    Clash,     // refused: message holds the clash text for the "Velaset" box
    Refused,   // no package could carry it (its name, its short path too long) or the
               // list is full: message says why
};

struct AddResult {
    AddOutcome outcome;
    std::string message;      // empty for Added and Duplicate
    std::string clashingPath; // the listed file that clashed, for Clash
};

// The folders of this machine that choose a default code.
DefaultFolders SystemDefaultFolders();

// One add run: build it on the project, pass every chosen file to Add in the order the
// file dialog returned them, then drop it. The short name of every listed file is taken
// from the system once per run, so adding n files costs about n short-path look-ups,
// not n squared. The files list must not be changed by anything else during the run.
class VerificaLista {
  public:
    VerificaLista(Project& project, DefaultFolders folders);

    // path is the full path of one chosen file, chosenFolder the folder the file dialog
    // returned (no trailing separator).
    AddResult Add(const std::string& path, const std::string& chosenFolder);

  private:
    void Index(const FileEntry& entry);

    Project& project_;
    DefaultFolders folders_;
    platform::ShortPathCache shortPaths_;
    size_t indexed_ = 0;                                            // entries already seen
    std::unordered_set<std::string> paths_;                         // exact paths
    ShortNameIndex names_; // the listed files by the names they take
};

} // namespace velaset

#endif

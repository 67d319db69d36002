// What the load of a project file could not take as stored: the entries it left out and
// why, the files it found again in the project's new folder, and an ExeFile whose folder
// is gone. The load itself shows nothing; the wizard and the command line tell the user
// from this record before anything can save over the file.
#ifndef VELASET_BUILDER_PROJECT_LOAD_REPORT_H
#define VELASET_BUILDER_PROJECT_LOAD_REPORT_H

#include <string>
#include <vector>

namespace velaset {

enum class DropReason {
    Missing,         // no file at the stored path (nor in the project's new folder)
    Unreadable,      // the path is there but cannot be read: a folder, no permission
    ShortNameClash,  // its 8.3 short name is already taken by an earlier entry
    LinkWithoutFile, // a link whose file name no listed file carries
};

// One entry of [Files] or [Link] that the project lost on loading.
struct DroppedEntry {
    DropReason reason = DropReason::Missing;
    std::string section; // "Files" or "Link"
    int key = 0;         // its key in the section
    std::string stored;  // the stored text of the entry
    std::string path;    // the file's path ([Files]) or the link's file name ([Link])
    std::string detail;  // the system's text (Unreadable), the clashing path (clash)
    std::string shortName; // the short name taken twice (clash)
};

// A file that was missing at its stored path and was found at the same place under the
// folder the project file now lies in.
struct MovedEntry {
    std::string stored;
    std::string found;
};

struct LoadReport {
    std::vector<DroppedEntry> dropped;
    std::vector<MovedEntry> moved;
    // ExeFile as stored when its folder no longer exists, and what the load made of it:
    // its place under the project's new folder (moved), or the same path when the
    // caller keeps it, or a place in the application folder (missing folder).
    std::string missingExeFolder; // the folder that is gone; empty when none
    std::string storedExeFile;    // empty when ExeFile is as stored
    std::string exeFile;
    bool exeMoved = false;
    // The file was UTF-8 with its byte order mark, read as Windows-1252.
    bool fromUtf8 = false;

    bool Empty() const {
        return dropped.empty() && moved.empty() && storedExeFile.empty() && !fromUtf8;
    }
    bool LostEntries() const { return !dropped.empty(); }
};

// One line per fact, in Italian, in the order of the file: the entries left out, the
// files found in the new folder, the executable's folder.
std::vector<std::string> LoadReportLines(const LoadReport& report);

// The wizard's message after opening projectFile: the lines under a heading; when
// entries were left out, the question whether to open the project without them.
std::string LoadReportMessage(const std::string& projectFile, const LoadReport& report);

} // namespace velaset

#endif

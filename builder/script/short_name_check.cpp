// The add-and-check operation of the files list, with its per-run cache of short names.
#include "builder/script/short_name_check.h"

#include "builder/script/clash_message.h"
#include "builder/script/text_case.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace velaset {

DefaultFolders SystemDefaultFolders() {
    return DefaultFolders{platform::WindowsFolder(), platform::SystemFolder(),
                          platform::SourceSeparator()};
}

VerificaLista::VerificaLista(Project& project, DefaultFolders folders)
    : project_(project), folders_(std::move(folders)) {
    const auto& files = project_.Files();
    paths_.reserve(files.size() * 2);
    firstByShortName_.reserve(files.size() * 2);
}

void VerificaLista::Index(const FileEntry& entry) {
    paths_.insert(entry.path);
    // emplace keeps the first listed file of a short name: the one the list search
    // from the first entry would stop at.
    firstByShortName_.emplace(
        AsciiUpper(platform::SourceFileName(shortPaths_.ShortPath(entry.path))), entry.path);
}

AddResult VerificaLista::Add(const std::string& path, const std::string& chosenFolder) {
    const auto& files = project_.Files();
    for (; indexed_ < files.size(); ++indexed_) {
        Index(files[indexed_]);
    }
    if (paths_.count(path) != 0) {
        return {AddOutcome::Duplicate, "", ""};
    }
    const std::string shortName = platform::SourceFileName(shortPaths_.ShortPath(path));
    const auto clash = firstByShortName_.find(AsciiUpper(shortName));
    if (clash != firstByShortName_.end()) {
        return {AddOutcome::Clash, ShortNameClashMessage(clash->second, path, shortName),
                clash->second};
    }
    const FileEntry entry{path, std::string(1, DefaultDestination(chosenFolder, folders_))};
    platform::Status status = project_.AddFile(entry);
    if (!status) {
        return {AddOutcome::Refused, status.message, ""};
    }
    // Index the new entry with the short name just taken, not a second look-up.
    paths_.insert(path);
    firstByShortName_.emplace(AsciiUpper(shortName), path);
    indexed_ = project_.Files().size();
    return {AddOutcome::Added, "", ""};
}

} // namespace velaset

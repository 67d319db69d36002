// The add-and-check operation of the files list, with its per-run cache of short names.
#include "builder/script/verifica_lista.h"

#include "builder/project/project_fields.h"
#include "builder/script/clash_message.h"
#include "platform/file_access.h"
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
}

void VerificaLista::Index(const FileEntry& entry) {
    paths_.insert(entry.path);
    // The index keeps the first listed file of a name: the one the list search from the
    // first entry would stop at.
    names_.Add(entry.path, platform::SourceFileName(shortPaths_.ShortPath(entry.path)));
}

AddResult VerificaLista::Add(const std::string& path, const std::string& chosenFolder) {
    const auto& files = project_.Files();
    for (; indexed_ < files.size(); ++indexed_) {
        Index(files[indexed_]);
    }
    if (paths_.count(path) != 0) {
        return {AddOutcome::Duplicate, "", ""};
    }
    // A name that no package could install.
    const std::string name = platform::SourceFileName(path);
    const std::string unfit = FieldValueReason(*FindFieldRule("Files"), name);
    if (!unfit.empty()) {
        return {AddOutcome::Refused,
                "Il file " + path + " non può essere aggiunto: il suo nome (\"" + name + "\") " +
                    unfit + ".",
                ""};
    }
    const std::string shortName = platform::SourceFileName(shortPaths_.ShortPath(path));
    // The build packs every file by its short path, which the system gives only when it
    // fits its buffer. (A file that is gone has none either; it clashes as before.)
    if (shortName.empty() && platform::IsReadableFile(path)) {
        return {AddOutcome::Refused,
                "Il file " + path +
                    " non può essere aggiunto: il suo percorso corto (8.3) "
                    "supera i 164 caratteri che la creazione del pacchetto può leggere. Spostarlo "
                    "in una cartella meno profonda.",
                ""};
    }
    const ShortNameIndex::Clash clash = names_.Find(path, shortName);
    if (!clash.listedPath.empty()) {
        return {AddOutcome::Clash, ShortNameClashMessage(clash.listedPath, path, clash.shortName),
                clash.listedPath};
    }
    const FileEntry entry{path, std::string(1, DefaultDestination(chosenFolder, folders_))};
    platform::Status status = project_.AddFile(entry);
    if (!status) {
        return {AddOutcome::Refused, status.message, ""};
    }
    // Index the new entry with the short name just taken, not a second look-up.
    paths_.insert(path);
    names_.Add(path, shortName);
    indexed_ = project_.Files().size();
    return {AddOutcome::Added, "", ""};
}

} // namespace velaset

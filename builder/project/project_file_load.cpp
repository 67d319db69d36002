// The load of the project file: reads ProgFile back into a Project.
#include "builder/project/project_file.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "builder/project/entry_forms.h"
#include "builder/project/ini_file.h"
#include "builder/project/line_breaks.h"
#include "builder/project/load_report.h"
#include "builder/project/package_keys.h"
#include "builder/project/package_names.h"
#include "builder/project/short_name_clash.h"
#include "builder/project/stored_number.h"
#include "platform/file_access.h"
#include "platform/profile_text.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "platform/whole_file.h"

namespace velaset {
namespace {

platform::Status Refused(const std::string& file, const std::string& key, const std::string& why) {
    return platform::Status::Failed("Impossibile caricare il progetto " + file + ": la chiave " +
                                    key + " " + why);
}

// A flag converted as a whole number: 0 or 1, anything else refuses the file.
platform::Status ReadFlag(const std::string& file, const std::string& key, int* flag) {
    std::string text = ReadIni(file, "Progetto", key);
    long value;
    if (!WholeNumber(text, &value))
        return Refused(file, key, "contiene \"" + text + "\", che non è un numero.");
    if (value != 0 && value != 1)
        return Refused(file, key, "contiene " + text + ", ma può valere solo 0 o 1.");
    *flag = static_cast<int>(value);
    return platform::Status::Ok();
}

platform::Status CheckCount(const std::string& file, const std::string& key, long count) {
    if (count > kMaxListEntries)
        return Refused(file, key,
                       "conta " + std::to_string(count) + " voci, più delle " +
                           std::to_string(kMaxListEntries) + " che un elenco può contenere.");
    return platform::Status::Ok();
}

// An entry that is not in the form the dialogs give it: the whole file is refused, so
// that nothing it carries reaches a script.
platform::Status BadEntry(const std::string& file, const char* section, long key,
                          const std::string& stored, const char* reason) {
    return platform::Status::Failed("Impossibile caricare il progetto " + file + ": " +
                                        EntryFaultText(section, key, stored, reason),
                                    platform::ErrorKind::Refused);
}

bool IsOne(const std::string& text) {
    return text == "1";
}

// Where the load looks for a file that is missing at its stored path: the same place
// under the folder the project file lies in now, when the stored ProgFile says it was
// saved in another folder and the file lay under that folder.
class MovedProject {
  public:
    MovedProject(const std::string& storedProgFile, const std::string& progFile)
        : oldFolder_(platform::SourceFolderPart(storedProgFile)),
          newFolder_(platform::SourceFolderPart(progFile)) {
        moved_ = !oldFolder_.empty() && !newFolder_.empty() && !SameFolder();
    }

    // The new place of path, or "" when the project did not move or path was not
    // under its old folder.
    std::string NewPlace(const std::string& path) const {
        std::string relative;
        if (!moved_ || !platform::PathBelow(oldFolder_, path, &relative))
            return "";
        return newFolder_ + relative;
    }

  private:
    // The two folders are one (in the letter case rule of the platform).
    bool SameFolder() const {
        std::string relative;
        return oldFolder_.size() == newFolder_.size() &&
               platform::PathBelow(oldFolder_, newFolder_ + "x", &relative);
    }

    std::string oldFolder_;
    std::string newFolder_;
    bool moved_ = false;
};

DroppedEntry Dropped(DropReason reason, const char* section, long key, const std::string& stored,
                     const std::string& path) {
    DroppedEntry entry;
    entry.reason = reason;
    entry.section = section;
    entry.key = static_cast<int>(key);
    entry.stored = stored;
    entry.path = path;
    return entry;
}

// Why a path that cannot be read is left out: missing, or there and unreadable (with the
// system's reason).
DroppedEntry Unusable(long key, const std::string& stored, const std::string& path) {
    if (path.empty() || !platform::PathExists(path))
        return Dropped(DropReason::Missing, "Files", key, stored, path);
    DroppedEntry entry = Dropped(DropReason::Unreadable, "Files", key, stored, path);
    if (platform::IsDirectory(path)) {
        entry.detail = "è una cartella";
    } else {
        std::FILE* f = platform::OpenFile(path, "rb");
        if (f != nullptr)
            std::fclose(f); // readable after all: a race with another program
        entry.detail = platform::LastSystemErrorText();
    }
    return entry;
}

// [Files]: an entry is kept when its file can be read (at its stored path, or at its
// place in the project's new folder) and its short name is not taken.
platform::Status LoadFiles(const std::string& file, const MovedProject& moved, Project* p,
                           LoadReport* report) {
    long count = LeadingNumber(ReadIni(file, "Progetto", "NumFile"));
    platform::Status checked = CheckCount(file, "NumFile", count);
    if (!checked)
        return checked;
    // The short names of the entries kept so far, each looked up once: the same answer
    // as ShortNameClash against the list, without a look-up per listed file.
    platform::ShortPathCache shortPaths;
    ShortNameIndex taken;
    for (long i = 1; i <= count; ++i) {
        const std::string stored = ReadIni(file, "Files", std::to_string(i));
        FileEntry entry = FileEntry::FromText(stored);
        // An absent key reads as empty: no entry at all, left out as a missing file.
        const char* fault = stored.empty() ? nullptr : DestinationFault(entry);
        if (fault != nullptr)
            return BadEntry(file, "Files", i, stored, fault);
        if (!platform::IsReadableFile(entry.path)) {
            std::string found = moved.NewPlace(entry.path);
            if (found.empty() || platform::PathExists(entry.path) ||
                !platform::IsReadableFile(found)) {
                report->dropped.push_back(Unusable(i, stored, entry.path));
                continue;
            }
            report->moved.push_back({entry.path, found});
            entry.path = found;
        }
        const std::string name = platform::SourceFileName(shortPaths.ShortPath(entry.path));
        const ShortNameIndex::Clash clash = taken.Find(entry.path, name);
        if (!clash.listedPath.empty()) {
            DroppedEntry dropped =
                Dropped(DropReason::ShortNameClash, "Files", i, stored, entry.path);
            dropped.detail = clash.listedPath;
            dropped.shortName = clash.shortName;
            report->dropped.push_back(dropped);
            continue;
        }
        taken.Add(entry.path, name);
        // The count was checked above, so the model takes every entry.
        platform::IgnoreFailure(p->AddFile(entry));
    }
    return platform::Status::Ok();
}

// [Link]: a link is added once for every listed file of its file name (letter case
// included); a link whose file no listed file carries is left out.
platform::Status LoadLinks(const std::string& file, Project* p, LoadReport* report) {
    long count = LeadingNumber(ReadIni(file, "Progetto", "NumLink"));
    platform::Status checked = CheckCount(file, "NumLink", count);
    if (!checked)
        return checked;
    for (long i = 1; i <= count; ++i) {
        const std::string stored = ReadIni(file, "Link", std::to_string(i));
        LinkEntry link = LinkEntry::FromText(stored);
        // An absent key reads as empty: a link to no file, left out as such.
        const char* fault = stored.empty() ? nullptr : LinkFault(link);
        if (fault != nullptr)
            return BadEntry(file, "Link", i, stored, fault);
        bool carried = false;
        for (const FileEntry& entry : p->Files()) {
            if (platform::SourceFileName(entry.path) != link.file)
                continue;
            carried = true;
            checked = p->AddLink(link);
            if (!checked)
                return checked;
        }
        if (!carried)
            report->dropped.push_back(
                Dropped(DropReason::LinkWithoutFile, "Link", i, stored, link.file));
    }
    return platform::Status::Ok();
}

// [Chiavi]: the registry entries, unchanged and in order.
platform::Status LoadRegistryEntries(const std::string& file, Project* p) {
    std::string stored = ReadIni(file, "Chiavi", "NumChiavi");
    if (stored == "0" || stored.empty())
        return platform::Status::Ok();
    long count;
    if (!WholeNumber(stored, &count))
        return Refused(file, "NumChiavi", "contiene \"" + stored + "\", che non è un numero.");
    platform::Status checked = CheckCount(file, "NumChiavi", count);
    if (!checked)
        return checked;
    // An entry that the model refuses is left out.
    for (long i = 1; i <= count; ++i) {
        const std::string stored = ReadIni(file, "Chiavi", std::to_string(i));
        // An absent key reads as empty and carries no text of its own; the build refuses
        // it by its number.
        const char* fault = stored.empty() ? nullptr : RegistryEntryFault(stored);
        if (fault != nullptr)
            return BadEntry(file, "Chiavi", i, stored, fault);
        platform::IgnoreFailure(p->AddRegistryEntry(stored));
    }
    return platform::Status::Ok();
}

// The file's bytes in Windows-1252 (*fromUtf8 when they were UTF-8 with the byte order
// mark), and whether it is a project at all: a file that the save wrote always has
// [Progetto]; without it the file is something else, and reading it as a project would
// only meet empty keys.
platform::Status ReadProjectBytes(const std::string& file, std::string* bytes, bool* fromUtf8) {
    bool exists = false;
    platform::Status read = platform::ReadWholeFile(file, bytes, &exists);
    if (!read || !exists || platform::IsDirectory(file))
        return platform::Status::Failed("Impossibile aprire il progetto " + file +
                                        ": il file non esiste o non può essere letto.");
    std::size_t badLine = 0;
    if (!platform::ProfileBytesOfFile(*bytes, bytes, fromUtf8, &badLine))
        return platform::Status::Failed(
            "Impossibile caricare il progetto " + file +
                ": il file è in UTF-8 (comincia con il segno BOM), ma la riga " +
                std::to_string(badLine) +
                " non è UTF-8 valido o contiene caratteri che un progetto (in Windows-1252) non "
                "può contenere. Salvarlo come testo Windows-1252 (ANSI), o togliere quei "
                "caratteri.",
            platform::ErrorKind::Refused);
    if (platform::ProfileText(*bytes).KeyNames("Progetto").empty())
        return platform::Status::Failed("Impossibile caricare il progetto " + file +
                                            ": il file non è un progetto Velaset (non ha la "
                                            "sezione [Progetto]).",
                                        platform::ErrorKind::Refused);
    return platform::Status::Ok();
}

} // namespace

platform::Status CheckProjectFile(const std::string& file) {
    std::string bytes;
    bool fromUtf8 = false;
    return ReadProjectBytes(file, &bytes, &fromUtf8);
}

platform::Status LoadProject(Project* project, const std::string& applicationFolder,
                             LoadReport* report) {
    const std::string file = project->ProgFile;
    std::string bytes;
    bool fromUtf8 = false;
    platform::Status isProject = ReadProjectBytes(file, &bytes, &fromUtf8);
    if (!isProject)
        return isProject;
    // The file is read once; every read below is answered from that reading (through
    // the system's profile calls where they read it, from its bytes once converted).
    std::unique_ptr<IniFileReading> reading(fromUtf8 ? new IniFileReading(file, bytes)
                                                     : new IniFileReading(file));
    cIniFile sections;
    sections.SetPath(file);
    sections.SetSection("Progetto");
    if (sections.INISection().empty())
        return platform::Status::Failed("Impossibile caricare il progetto " + file +
                                            ": il file non è un progetto Velaset (non ha la "
                                            "sezione [Progetto]).",
                                        platform::ErrorKind::Refused);
    // Everything goes into a copy: a refused file leaves the project and the report as
    // they were.
    Project p = *project;
    LoadReport found;
    found.fromUtf8 = fromUtf8;
    auto progetto = [&file](const char* key) { return ReadIni(file, "Progetto", key); };
    const MovedProject moved(progetto("ProgFile"), file);

    p.ClearFiles();
    p.ClearLinks();
    p.ClearRegistryEntries();

    p.Titolo = progetto("Titolo");
    p.Caption = progetto("Caption");
    p.Etic1A = progetto("Etic1A");
    p.Etic2A = DecodeLineBreaks(progetto("Etic2A"));
    p.DefCartella = progetto("DefCartella");
    p.DefDir = progetto("DefDir");
    p.SetButtonBrowse(IsOne(progetto("ButtonBrowse")) ? 1 : 0);

    platform::Status checked = LoadFiles(file, moved, &p, &found);
    if (!checked)
        return checked;

    int gruppo;
    checked = ReadFlag(file, "Gruppo", &gruppo);
    if (!checked)
        return checked;
    p.SetGruppo(gruppo);
    p.NomeGruppo = progetto("NomeGruppo");

    checked = LoadLinks(file, &p, &found);
    if (!checked)
        return checked;

    int dlgEnd;
    checked = ReadFlag(file, "DlgEnd", &dlgEnd);
    if (!checked)
        return checked;
    p.SetDlgEnd(dlgEnd);
    p.CaptionB = progetto("CaptionB");
    p.EticB = progetto("EticB");
    p.LabelControl = progetto("LabelControl");

    p.SetUninstall(IsOne(progetto("Uninstall")) ? 1 : 0);
    if (p.Uninstall() == 1)
        p.UninstallString = progetto("UninstallString");

    std::string chkLancio = progetto("ChkLancio");
    long lancio = LeadingNumber(chkLancio);
    if (lancio != 0 && lancio != 1)
        return Refused(file, "ChkLancio", "contiene " + chkLancio + ", ma può valere solo 0 o 1.");
    p.SetChkLancio(static_cast<int>(lancio));
    p.Lancio = progetto("Lancio");

    // The setup executable stays where it was when its folder still exists, and moves
    // with a moved project.
    const std::string exeFile = progetto("ExeFile");
    const std::string exeFolder = platform::SourceFolderPart(exeFile);
    const std::string exeMoved = moved.NewPlace(exeFile);
    if (!exeFolder.empty() && platform::IsDirectory(exeFolder)) {
        p.ExeFile = exeFile;
    } else if (!exeMoved.empty() && platform::IsDirectory(platform::SourceFolderPart(exeMoved))) {
        p.ExeFile = exeMoved;
        found.exeMoved = true;
        found.storedExeFile = exeFile;
        found.exeFile = exeMoved;
    } else {
        p.ExeFile = applicationFolder.empty()
                        ? exeFile
                        : platform::JoinSourcePath(applicationFolder,
                                                   platform::SourceFileName(exeFile));
        if (!exeFolder.empty()) {
            found.missingExeFolder = exeFolder;
            found.storedExeFile = exeFile;
            found.exeFile = p.ExeFile;
        }
    }

    checked = LoadRegistryEntries(file, &p);
    if (!checked)
        return checked;

    if (IsOne(progetto("Sfondo"))) {
        p.SetSfondo(1);
        p.TestoSfondo = progetto("TestoSfondo");
    } else {
        p.SetSfondo(0);
    }

    p.SetDefaultMessages();
    for (auto message :
         {std::make_pair("Errore", &p.Errore), std::make_pair("Stop", &p.Stop),
          std::make_pair("Browse", &p.Browse), std::make_pair("Disinstalla", &p.Disinstalla)}) {
        std::string stored = ReadIni(file, "Messaggi", message.first);
        if (!stored.empty())
            *message.second = stored;
    }

    p.SetDistribuzione(IsOne(progetto("Distribuzione")) ? 1 : 0);

    // Absent in every file of an x86 project; any other value than x86 or x64 would
    // build a package for the wrong programs.
    std::string architettura = progetto("Architettura");
    p.Architettura = Architecture::X86;
    if (!architettura.empty() && !ParseArchitecture(architettura, &p.Architettura))
        return Refused(file, "Architettura",
                       "contiene \"" + architettura + "\", ma può valere solo x86 o x64.");
    // Absent in every file of an MSZIP project.
    std::string compressione = progetto("Compressione");
    p.Compressione = Compression::MsZip;
    if (!compressione.empty() && !ParseCompression(compressione, &p.Compressione))
        return Refused(file, "Compressione",
                       "contiene \"" + compressione + "\", ma può valere solo LZX o MSZIP.");

    // Absent in the files of projects that do not set them.
    for (const char* key : PackageKeyNames()) {
        const std::string stored = progetto(key);
        if (const char* fault = SetPackageKey(&p, key, stored))
            return Refused(file, key, "contiene \"" + stored + "\", ma " + fault + ".");
    }

    p.TakeFocusRequest(); // no page is shown during a load
    *project = p;
    if (report != nullptr)
        *report = found;
    return platform::Status::Ok();
}

} // namespace velaset

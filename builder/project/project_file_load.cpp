// The load of the project file: reads ProgFile back into a Project.
#include "builder/project/project_file.h"

#include <cctype>
#include <unordered_set>

#include "builder/project/ini_file.h"
#include "builder/project/line_breaks.h"
#include "builder/project/short_name_clash.h"
#include "builder/project/stored_number.h"
#include "platform/file_access.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"

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

bool IsOne(const std::string& text) {
    return text == "1";
}

// [Files]: an entry is kept when its file can be read and its short name is not taken.
platform::Status LoadFiles(const std::string& file, Project* p) {
    long count = LeadingNumber(ReadIni(file, "Progetto", "NumFile"));
    platform::Status checked = CheckCount(file, "NumFile", count);
    if (!checked)
        return checked;
    // The short names of the entries kept so far, each looked up once: the same answer
    // as ShortNameClash against the list, without a look-up per listed file.
    platform::ShortPathCache shortPaths;
    std::unordered_set<std::string> taken;
    for (long i = 1; i <= count; ++i) {
        FileEntry entry = FileEntry::FromText(ReadIni(file, "Files", std::to_string(i)));
        if (!platform::IsReadableFile(entry.path))
            continue;
        std::string name = platform::SourceFileName(shortPaths.ShortPath(entry.path));
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // An entry that the model refuses is left out, like a file that is gone.
        if (taken.insert(name).second)
            platform::IgnoreFailure(p->AddFile(entry));
    }
    return platform::Status::Ok();
}

// [Link]: a link is added once for every listed file of its file name (letter case
// included), so a link to a dropped file is dropped too.
platform::Status LoadLinks(const std::string& file, Project* p) {
    long count = LeadingNumber(ReadIni(file, "Progetto", "NumLink"));
    platform::Status checked = CheckCount(file, "NumLink", count);
    if (!checked)
        return checked;
    for (long i = 1; i <= count; ++i) {
        LinkEntry link = LinkEntry::FromText(ReadIni(file, "Link", std::to_string(i)));
        for (const FileEntry& entry : p->Files()) {
            if (platform::SourceFileName(entry.path) != link.file)
                continue;
            checked = p->AddLink(link);
            if (!checked)
                return checked;
        }
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
    for (long i = 1; i <= count; ++i)
        platform::IgnoreFailure(p->AddRegistryEntry(ReadIni(file, "Chiavi", std::to_string(i))));
    return platform::Status::Ok();
}

} // namespace

platform::Status LoadProject(Project* project, const std::string& applicationFolder) {
    const std::string file = project->ProgFile;
    if (!platform::IsReadableFile(file))
        return platform::Status::Failed("Impossibile aprire il progetto " + file +
                                        ": il file non esiste o non può essere letto.");
    // Everything goes into a copy: a refused file leaves the project as it was.
    Project p = *project;
    auto progetto = [&file](const char* key) { return ReadIni(file, "Progetto", key); };

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

    platform::Status checked = LoadFiles(file, &p);
    if (!checked)
        return checked;

    int gruppo;
    checked = ReadFlag(file, "Gruppo", &gruppo);
    if (!checked)
        return checked;
    p.SetGruppo(gruppo);
    p.NomeGruppo = progetto("NomeGruppo");

    checked = LoadLinks(file, &p);
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

    // The setup executable stays where it was when its folder still exists.
    std::string exeFile = progetto("ExeFile");
    std::string exeFolder = platform::SourceFolderPart(exeFile);
    if (!exeFolder.empty() && platform::IsDirectory(exeFolder))
        p.ExeFile = exeFile;
    else
        p.ExeFile = platform::JoinSourcePath(applicationFolder, platform::SourceFileName(exeFile));

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

    p.TakeFocusRequest(); // no page is shown during a load
    *project = p;
    return platform::Status::Ok();
}

} // namespace velaset

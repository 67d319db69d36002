// The save of the project file: one WriteIni call per value, in the fixed order, into a
// copy of the file that then takes the file's place.
#include "builder/project/project_file.h"

#include <vector>

#include "builder/project/field_encoding.h"
#include "builder/project/ini_file.h"
#include "builder/project/line_breaks.h"
#include "builder/project/package_keys.h"

namespace velaset {
namespace {

struct StoredValue {
    const char* section;
    std::string key;
    std::string value;
};

std::string Flag(int value) {
    return std::to_string(value);
}

// Every value in the order of the save; the order of first appearance of the sections
// is the section order of a new file.
std::vector<StoredValue> ValuesInSaveOrder(const Project& p) {
    std::vector<StoredValue> v;
    auto progetto = [&v](const char* key, const std::string& value) {
        v.push_back({"Progetto", key, value});
    };
    progetto("Titolo", p.Titolo);
    progetto("Caption", p.Caption);
    progetto("Etic1A", p.Etic1A);
    progetto("Etic2A", EncodeLineBreaks(p.Etic2A));
    progetto("DefCartella", p.DefCartella);
    progetto("DefDir", p.DefDir);
    progetto("ButtonBrowse", Flag(p.ButtonBrowse()));
    progetto("NumFile", std::to_string(p.Files().size()));
    for (size_t i = 0; i < p.Files().size(); ++i)
        v.push_back({"Files", std::to_string(i + 1), p.Files()[i].Text()});
    progetto("Gruppo", Flag(p.Gruppo()));
    progetto("NomeGruppo", p.NomeGruppo);
    progetto("NumLink", std::to_string(p.Links().size()));
    for (size_t i = 0; i < p.Links().size(); ++i)
        v.push_back({"Link", std::to_string(i + 1), p.Links()[i].Text()});
    progetto("DlgEnd", Flag(p.DlgEnd()));
    progetto("CaptionB", p.CaptionB);
    progetto("EticB", p.EticB);
    progetto("LabelControl", p.LabelControl);
    progetto("Uninstall", Flag(p.Uninstall()));
    progetto("UninstallString", p.UninstallString);
    progetto("ExeFile", p.ExeFile);
    progetto("ProgFile", p.ProgFile);
    progetto("ChkLancio", Flag(p.ChkLancio()));
    progetto("Lancio", p.Lancio);
    v.push_back({"Chiavi", "NumChiavi", std::to_string(p.RegistryEntries().size())});
    for (size_t i = 0; i < p.RegistryEntries().size(); ++i)
        v.push_back({"Chiavi", std::to_string(i + 1), p.RegistryEntries()[i]});
    progetto("Sfondo", Flag(p.Sfondo()));
    progetto("TestoSfondo", p.TestoSfondo);
    v.push_back({"Messaggi", "Errore", p.Errore});
    v.push_back({"Messaggi", "Stop", p.Stop});
    v.push_back({"Messaggi", "Browse", p.Browse});
    v.push_back({"Messaggi", "Disinstalla", p.Disinstalla});
    progetto("Distribuzione", Flag(p.Distribuzione()));
    if (p.Architettura == Architecture::X64)
        progetto("Architettura", ArchitectureName(p.Architettura));
    if (p.Compressione == Compression::Lzx)
        progetto("Compressione", CompressionName(p.Compressione));
    for (const char* key : PackageKeyNames()) {
        const std::string text = PackageKeyText(p, key);
        if (!text.empty())
            progetto(key, text);
    }
    return v;
}

// How a value is named in a refusal: the key alone for the project's own fields,
// section and key for list entries.
std::string FieldLabel(const StoredValue& stored) {
    std::string section = stored.section;
    if (section == "Progetto" || section == "Messaggi" || stored.key == "NumChiavi")
        return stored.key;
    return section + " " + stored.key;
}

// A value the file cannot hold as it is: refused before anything is written.
platform::Status CheckValue(const StoredValue& stored) {
    const std::string label = FieldLabel(stored);
    if (stored.value.find('\r') != std::string::npos ||
        stored.value.find('\n') != std::string::npos)
        return platform::Status::Failed("Il campo " + label +
                                        " contiene un a capo, che può stare solo in Etic2A.");
    std::string ansi;
    return FieldToWindows1252(label, stored.value, &ansi);
}

// Checks every value, then writes them with WriteIni into file, one call per value.
platform::Status WriteValues(const Project& project, const std::string& file) {
    if (project.Etic2A.find(kLineBreakMark) != std::string::npos)
        return platform::Status::Failed(std::string("Il campo Etic2A contiene il carattere ") +
                                        kLineBreakMark +
                                        ", che nel file di progetto indica un a capo.");
    std::vector<StoredValue> values = ValuesInSaveOrder(project);
    // An x86 project saved over a file that says x64 writes x86 over it, so that the
    // file does not load as x64 again; other files of x86 projects never get the key.
    if (project.Architettura == Architecture::X86 &&
        !ReadIni(file, "Progetto", "Architettura").empty())
        values.push_back({"Progetto", "Architettura", ArchitectureName(Architecture::X86)});
    // The same for an MSZIP project saved over a file that says LZX.
    if (project.Compressione == Compression::MsZip &&
        !ReadIni(file, "Progetto", "Compressione").empty())
        values.push_back({"Progetto", "Compressione", CompressionName(Compression::MsZip)});
    // The same for the package keys: one no longer set is written back as unset.
    for (const char* key : PackageKeyNames()) {
        if (PackageKeyText(project, key).empty() && !ReadIni(file, "Progetto", key).empty())
            values.push_back({"Progetto", key, PackageKeyDefault(key)});
    }
    for (const StoredValue& stored : values) {
        platform::Status checked = CheckValue(stored);
        if (!checked)
            return checked;
    }
    for (const StoredValue& stored : values) {
        platform::Status written = WriteIni(file, stored.section, stored.key, stored.value);
        if (!written)
            return written;
    }
    return platform::Status::Ok();
}

} // namespace

platform::Status SaveProjectTo(const Project& project, const std::string& file) {
    // One copy of the file takes every value, then replaces the file in one step: the
    // file is never seen half-saved, whatever stops the save.
    IniFileEditing editing(file);
    if (!editing.Opened())
        return editing.Opened();
    platform::Status written = WriteValues(project, file);
    return written ? editing.Commit() : written;
}

platform::Status ProjectFileText(const Project& project, std::string* bytes) {
    // A name that no file has: the editing never reads or writes a file.
    const std::string inMemory = std::string("\x01") + "velaset: progetto nuovo";
    IniFileEditing editing(inMemory, IniFileEditing::Start::Empty);
    platform::Status written = WriteValues(project, inMemory);
    if (written)
        *bytes = editing.Bytes();
    return written;
}

platform::Status SaveProject(const Project& project) {
    return SaveProjectTo(project, project.ProgFile);
}

} // namespace velaset

// velaset set PROJECT.mip KEY=VALUE...: changes fields and messages, then saves.
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/project/field_encoding.h"
#include "builder/project/package_keys.h"
#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/project_access.h"

namespace velaset {
namespace cli {
namespace {

const char kUsage[] = "velaset set PROGETTO.mip CHIAVE=VALORE...";

// How one key reaches the project: a text field (editable while the flag that governs
// it is set), a flag, or a message.
struct SettableKey {
    const char* key;
    std::string Project::*text;       // a text field, or null
    void (Project::*setFlag)(int);    // a flag setter, or null
    bool (*editable)(const Project&); // null: always editable
    const char* governedBy;           // the flag named when not editable
    bool message;                     // one of the four messages: never empty
};

bool SfondoSet(const Project& p) {
    return p.States().testoSfondoEditable;
}
bool GruppoSet(const Project& p) {
    return p.States().nomeGruppoEditable;
}
bool DlgEndSet(const Project& p) {
    return p.States().captionBEditable;
}
bool UninstallSet(const Project& p) {
    return p.States().uninstallStringEditable;
}
bool ChkLancioSet(const Project& p) {
    return p.States().lancioEditable;
}

const SettableKey kKeys[] = {
    {"Titolo", &Project::Titolo, nullptr, nullptr, nullptr, false},
    {"Caption", &Project::Caption, nullptr, nullptr, nullptr, false},
    {"Etic1A", &Project::Etic1A, nullptr, nullptr, nullptr, false},
    {"Etic2A", &Project::Etic2A, nullptr, nullptr, nullptr, false},
    {"DefCartella", &Project::DefCartella, nullptr, nullptr, nullptr, false},
    {"DefDir", &Project::DefDir, nullptr, nullptr, nullptr, false},
    {"ButtonBrowse", nullptr, &Project::SetButtonBrowse, nullptr, nullptr, false},
    {"Gruppo", nullptr, &Project::SetGruppo, nullptr, nullptr, false},
    {"NomeGruppo", &Project::NomeGruppo, nullptr, GruppoSet, "Gruppo", false},
    {"DlgEnd", nullptr, &Project::SetDlgEnd, nullptr, nullptr, false},
    {"CaptionB", &Project::CaptionB, nullptr, DlgEndSet, "DlgEnd", false},
    {"EticB", &Project::EticB, nullptr, DlgEndSet, "DlgEnd", false},
    {"LabelControl", &Project::LabelControl, nullptr, nullptr, nullptr, false},
    {"Uninstall", nullptr, &Project::SetUninstall, nullptr, nullptr, false},
    {"UninstallString", &Project::UninstallString, nullptr, UninstallSet, "Uninstall", false},
    {"ExeFile", &Project::ExeFile, nullptr, nullptr, nullptr, false},
    {"ChkLancio", nullptr, &Project::SetChkLancio, nullptr, nullptr, false},
    {"Lancio", &Project::Lancio, nullptr, ChkLancioSet, "ChkLancio", false},
    {"Sfondo", nullptr, &Project::SetSfondo, nullptr, nullptr, false},
    {"TestoSfondo", &Project::TestoSfondo, nullptr, SfondoSet, "Sfondo", false},
    {"Distribuzione", nullptr, &Project::SetDistribuzione, nullptr, nullptr, false},
    {"Architettura", nullptr, nullptr, nullptr, nullptr, false}, // x86 or x64
    {"Compressione", nullptr, nullptr, nullptr, nullptr, false}, // LZX or MSZIP
    {"Versione", nullptr, nullptr, nullptr, nullptr, false}, // the package keys
    {"Editore", nullptr, nullptr, nullptr, nullptr, false},
    {"SitoWeb", nullptr, nullptr, nullptr, nullptr, false},
    {"Ambito", nullptr, nullptr, nullptr, nullptr, false},
    {"Errore", &Project::Errore, nullptr, nullptr, nullptr, true},
    {"Stop", &Project::Stop, nullptr, nullptr, nullptr, true},
    {"Browse", &Project::Browse, nullptr, nullptr, nullptr, true},
    {"Disinstalla", &Project::Disinstalla, nullptr, nullptr, nullptr, true},
};

std::string ValidKeys() {
    std::string keys;
    for (const SettableKey& k : kKeys)
        keys += (keys.empty() ? "" : ", ") + std::string(k.key);
    return keys;
}

const SettableKey* FindKey(const std::string& key) {
    for (const SettableKey& k : kKeys) {
        if (key == k.key)
            return &k;
    }
    return nullptr;
}

// Etic2A takes its line breaks as CR LF whatever the shell gave.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n' || text[i] == '\r')
            out += "\r\n";
        else
            out += text[i];
    }
    return out;
}

void PrintHelp() {
    std::fprintf(Out(),
                 "uso: %s\n\n"
                 "Carica PROGETTO.mip, imposta ogni CHIAVE (le chiavi del file di progetto) al\n"
                 "suo VALORE nell'ordine dato, come fa il builder (i flag valgono 0 o 1 e\n"
                 "abilitano o svuotano i campi che ne dipendono; Titolo sostituisce il vecchio\n"
                 "titolo negli altri testi e nel percorso dell'eseguibile), poi salva il\n"
                 "progetto nello stesso file.\n"
                 "Etic2A può contenere a capo; gli altri campi no. Architettura vale x86\n"
                 "(pacchetto a 32 bit, il predefinito) o x64 (pacchetto a 64 bit).\n"
                 "Compressione vale MSZIP (il predefinito) o LZX (pacchetto più piccolo,\n"
                 "più lento da creare).\n"
                 "Versione (come 1.2 o 2.0.1.15), Editore e SitoWeb (http:// o https://)\n"
                 "compaiono in App e funzionalità; Ambito vale macchina (il predefinito:\n"
                 "per tutti, con un amministratore) o utente (per chi installa, senza\n"
                 "amministratore). Un valore vuoto toglie la chiave.\n\n"
                 "chiavi: %s\n",
                 kUsage, ValidKeys().c_str());
}

// Applies one KEY=VALUE; "" when done, else the reason for refusing it.
std::string Apply(Project* project, const SettableKey& k, const std::string& value) {
    std::string ansi;
    platform::Status representable = FieldToWindows1252(k.key, value, &ansi);
    if (!representable)
        return representable.message;
    for (const char* key : PackageKeyNames()) {
        if (std::strcmp(k.key, key) != 0)
            continue;
        const char* fault = SetPackageKey(project, key, value);
        return fault == nullptr ? std::string() : std::string(key) + " " + fault;
    }
    if (std::strcmp(k.key, "Architettura") == 0) {
        if (!ParseArchitecture(value, &project->Architettura))
            return std::string(k.key) + " vale x86 o x64, non \"" + value + "\"";
        return std::string();
    }
    if (std::strcmp(k.key, "Compressione") == 0) {
        if (!ParseCompression(value, &project->Compressione))
            return std::string(k.key) + " vale LZX o MSZIP, non \"" + value + "\"";
        return std::string();
    }
    if (k.setFlag != nullptr) {
        if (value != "0" && value != "1")
            return std::string(k.key) + " vale 0 o 1, non \"" + value + "\"";
        (project->*k.setFlag)(value == "1" ? 1 : 0);
        return std::string();
    }
    bool etic2A = std::strcmp(k.key, "Etic2A") == 0;
    if (!etic2A && value.find_first_of("\r\n") != std::string::npos)
        return std::string(k.key) + " non può contenere a capo";
    if (k.editable != nullptr && !k.editable(*project))
        return std::string(k.key) + " non è modificabile finché " + k.governedBy + " vale 0";
    if (k.message && value.empty())
        return std::string("il messaggio ") + k.key + " non può essere vuoto";
    if (std::strcmp(k.key, "Titolo") == 0)
        project->SetTitleAsTyped(value);
    else
        project->*k.text = etic2A ? WithCrLf(value) : value;
    return std::string();
}

} // namespace

int RunSetCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        PrintHelp();
        return kExitOk;
    }
    if (argc < 3)
        return UsageError("set", argc < 2 ? "manca il file di progetto" : "manca CHIAVE=VALORE",
                          kUsage);
    // Every assignment is checked before the file is touched.
    for (int i = 2; i < argc; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        if (eq == nullptr)
            return UsageError("set", std::string("atteso CHIAVE=VALORE: ") + argv[i], kUsage);
        std::string key(argv[i], static_cast<size_t>(eq - argv[i]));
        if (FindKey(key) == nullptr)
            return UsageError(
                "set", "chiave sconosciuta: " + key + "\nchiavi valide: " + ValidKeys(), kUsage);
    }
    Project project;
    ProjectLock lock;
    const int opened = LoadNamedProject(argv[1], &project, LoadUse::Save, &lock);
    if (opened != kExitOk)
        return opened;
    const Project loaded = project;
    const std::string projectFile = project.ProgFile;
    for (int i = 2; i < argc; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        std::string key(argv[i], static_cast<size_t>(eq - argv[i]));
        std::string refused = Apply(&project, *FindKey(key), eq + 1);
        if (!refused.empty())
            return UsageError("set", refused, kUsage);
    }
    // The project stays in the file named on the command line, even when the new title
    // would have renamed the path.
    project.ProgFile = projectFile;
    return SaveEdited(loaded, project);
}

} // namespace cli
} // namespace velaset

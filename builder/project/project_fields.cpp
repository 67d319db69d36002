// The table of fields, the checks it makes and the texts it gives the setup script.
#include "builder/project/project_fields.h"

#include <cstring>
#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "builder/project/line_breaks.h"
#include "builder/project/windows_names.h"
#include "platform/source_path.h"
#include "platform/text_encoding.h"

namespace velaset {
namespace {

using P = Project;

// What the installer's buffers hold: the dialog's texts, the final message's title and
// text, the failure and stop messages (the stub), the uninstall question (the runtime).
constexpr int kLongText = 499;
constexpr int kShortText = 99;
constexpr int kTitleText = 49;
// A link's name with ".lnk" after it is one Windows name.
constexpr int kLinkName = 251;

// The characters that split a line of setup.inf where a text stands without quotes (a
// comma separates fields, a semicolon starts a comment) or within quotes that it would
// close.
const char kUnquoted[] = "\",;";

// clang-format off
const FieldRule kRules[] = {
//   name               section     text              choices          separators written                  percent              cutsLine   trimmed required winName max
    {"Titolo",          "Progetto", &P::Titolo,       nullptr,         "",        Written::Always,        Percent::Doubled,    kUnquoted, true,   true,    true,   0},
    {"Caption",         "Progetto", &P::Caption,      nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  false,   false,  kLongText},
    {"Etic1A",          "Progetto", &P::Etic1A,       nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  false,   false,  kLongText},
    {"Etic2A",          "Progetto", &P::Etic2A,       nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  false,   false,  kLongText},
    {"DefCartella",     "Progetto", &P::DefCartella,  nullptr,         "",        Written::Launch,        Percent::AsTyped,    "\"",      false,  false,   false,  0},
    {"DefDir",          "Progetto", &P::DefDir,       nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  true,    true,   0},
    // The flags and choices: what their keys may hold (the model keeps them so).
    {"ButtonBrowse",    "Progetto", nullptr,          "0|1",           "",        Written::Always,        Percent::None,       "",        false,  false,   false,  0},
    {"Gruppo",          "Progetto", nullptr,          "0|1",           "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    // The runtime makes the group's folder of the name as it stands (no "%%" there).
    {"NomeGruppo",      "Progetto", &P::NomeGruppo,   nullptr,         "",        Written::Group,         Percent::AsTyped,    kUnquoted, true,   true,    true,   0},
    {"DlgEnd",          "Progetto", nullptr,          "0|1",           "",        Written::Always,        Percent::None,       "",        false,  false,   false,  0},
    {"CaptionB",        "Progetto", &P::CaptionB,     nullptr,         "",        Written::FinalMessage,  Percent::AsTyped,    "",        false,  false,   false,  kTitleText},
    {"EticB",           "Progetto", &P::EticB,        nullptr,         "",        Written::FinalMessage,  Percent::AsTyped,    "",        false,  false,   false,  kShortText},
    {"LabelControl",    "Progetto", &P::LabelControl, nullptr,         "",        Written::FullScript,    Percent::Doubled,    "",        false,  false,   false,  0},
    {"Uninstall",       "Progetto", nullptr,          "0|1",           "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"UninstallString", "Progetto", &P::UninstallString, nullptr,      "",        Written::UninstallLink, Percent::Doubled,    kUnquoted, true,   true,    true,   kLinkName},
    {"ExeFile",         "Progetto", &P::ExeFile,      nullptr,         "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"ProgFile",        "Progetto", &P::ProgFile,     nullptr,         "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"ChkLancio",       "Progetto", nullptr,          "0|1",           "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"Lancio",          "Progetto", &P::Lancio,       nullptr,         "",        Written::Launch,        Percent::AsTyped,    "",        false,  true,    true,   0},
    {"Sfondo",          "Progetto", nullptr,          "0|1",           "",        Written::Always,        Percent::None,       "",        false,  false,   false,  0},
    {"TestoSfondo",     "Progetto", &P::TestoSfondo,  nullptr,         "",        Written::Background,    Percent::AsTyped,    "",        false,  false,   false,  kLongText},
    {"Distribuzione",   "Progetto", nullptr,          "0|1",           "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"Architettura",    "Progetto", nullptr,          "x86|x64",       "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"Compressione",    "Progetto", nullptr,          "MSZIP|LZX",     "",        Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    // The package keys (package_keys.h holds their forms): values of the uninstall entry,
    // within quotes in the lines the setup engine reads.
    {"Versione",        "Progetto", &P::Versione,     nullptr,         "",        Written::FullScript,    Percent::Doubled,    "\"",      false,  false,   false,  0},
    {"Editore",         "Progetto", &P::Editore,      nullptr,         "",        Written::FullScript,    Percent::Doubled,    "\"",      false,  false,   false,  0},
    {"SitoWeb",         "Progetto", &P::SitoWeb,      nullptr,         "",        Written::FullScript,    Percent::Doubled,    "\"",      false,  false,   false,  0},
    {"Ambito",          "Progetto", nullptr,          "macchina|utente", "",      Written::Never,         Percent::None,       "",        false,  false,   false,  0},
    {"Errore",          "Messaggi", &P::Errore,       nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  true,    false,  kShortText},
    {"Stop",            "Messaggi", &P::Stop,         nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  true,    false,  kShortText},
    {"Browse",          "Messaggi", &P::Browse,       nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  true,    false,  kLongText},
    {"Disinstalla",     "Messaggi", &P::Disinstalla,  nullptr,         "",        Written::Always,        Percent::AsTyped,    "",        false,  true,    false,  kLongText},
    // [Files]: path,destination. The file's name goes into the long-name sections, which
    // the setup engine reads for the installation and the runtime as it stands for the
    // uninstall.
    {"Files",           "Files",    nullptr,          nullptr,         "",        Written::Always,        Percent::Single,     "",        false,  true,    true,   0},
    {"Files destinazione", "Files", nullptr,          "D|W|S|H|I|D*|S*", ",",     Written::Always,        Percent::None,       "",        false,  true,    false,  0},
    // [Link]: file,name,place. The name stands within quotes and again without them.
    {"Link file",       "Link",     nullptr,          nullptr,         ",",       Written::FullScript,    Percent::Doubled,    "",        false,  true,    true,   0},
    {"Link nome",       "Link",     nullptr,          nullptr,         ",",       Written::FullScript,    Percent::Doubled,    kUnquoted, true,   true,    true,   kLinkName},
    {"Link collocazione", "Link",   nullptr,          "P|D",           ",",       Written::FullScript,    Percent::None,       "",        false,  true,    false,  0},
    // [Chiavi]: ROOT,subkey,"name",,"value", an AddReg line of the author's.
    {"Chiavi radice",   "Chiavi",   nullptr,          "HKCR|HKCU|HKLM|HCU", ",",  Written::Always,        Percent::None,       "",        false,  true,    false,  0},
    {"Chiavi sottochiave", "Chiavi", nullptr,         nullptr,         ",\";",    Written::Always,        Percent::Expression, "",        true,   true,    false,  0},
    {"Chiavi nome",     "Chiavi",   nullptr,          nullptr,         "\"",      Written::Always,        Percent::Expression, "",        false,  false,   false,  0},
    {"Chiavi valore",   "Chiavi",   nullptr,          nullptr,         "\"",      Written::Always,        Percent::Expression, "",        false,  true,    false,  0},
};
// clang-format on

bool IsWritten(Written written, const Project& p, bool full) {
    switch (written) {
    case Written::Never:
        return false;
    case Written::Always:
        return true;
    case Written::FullScript:
        return full;
    case Written::Group:
        return full && p.Gruppo() == 1;
    case Written::UninstallLink:
        return full && p.Gruppo() == 1 && p.Uninstall() == 1;
    case Written::FinalMessage:
        return p.DlgEnd() == 1;
    case Written::Background:
        return p.Sfondo() == 1;
    case Written::Launch:
        return p.ChkLancio() == 1;
    }
    return false;
}

// The pieces of a sentence joined in one call: the wizard, kept within a fixed size, would
// pay for a chain of additions at each place in code.
std::string Join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece.data(), piece.size());
    return text;
}

// The first character of chars that text holds, or 0.
char FirstOf(const char* chars, const std::string& text) {
    const size_t at = text.find_first_of(chars);
    return at == std::string::npos ? '\0' : text[at];
}

bool IsChoice(const char* choices, const std::string& value) {
    std::string rest = choices;
    for (size_t bar; !rest.empty(); rest = bar == std::string::npos ? "" : rest.substr(bar + 1)) {
        bar = rest.find('|');
        if (rest.substr(0, bar) == value)
            return true;
    }
    return false;
}

// "0|1" as "0 o 1", "D|W|S" as "D, W o S".
std::string ChoiceList(const char* choices) {
    std::string list = choices;
    const size_t last = list.rfind('|');
    if (last != std::string::npos)
        list.replace(last, 1, " o ");
    for (size_t bar; (bar = list.find('|')) != std::string::npos;)
        list.replace(bar, 1, ", ");
    return list;
}

size_t CountOf(const std::string& text, char c) {
    size_t count = 0;
    for (char t : text)
        count += t == c ? 1 : 0;
    return count;
}

// The reason why value is no name of the row's kind (DefDir: names joined by "\").
std::string NameFault(const FieldRule& rule, const std::string& value) {
    if (std::strcmp(rule.name, "DefDir") != 0)
        return WindowsNameFault(value);
    size_t start = 0;
    for (;;) {
        const size_t slash = value.find('\\', start);
        const std::string part = value.substr(start, slash - start);
        const std::string fault = WindowsNameFault(part);
        if (!fault.empty())
            return part.empty() ? "ha un nome di cartella vuoto (\\ all'inizio, alla fine o "
                                  "due volte di seguito)"
                                : Join({"ha una cartella, \"", part, "\", che ", fault});
        if (slash == std::string::npos)
            return "";
        start = slash + 1;
    }
}

std::string Reason(const FieldRule& rule, const std::string& value, bool written) {
    std::string ansi;
    if (!platform::Utf8ToWindows1252(value, &ansi))
        return "contiene caratteri che non possono essere salvati in Windows-1252";
    if (rule.choices != nullptr)
        return IsChoice(rule.choices, value) ? "" : Join({"non è ", ChoiceList(rule.choices)});
    if (const char c = FirstOf(rule.separators, value))
        return Join({"non può contenere ", CharacterName(c),
                     ", che nel file di progetto separa le parti della voce"});
    // Etic2A alone keeps its line breaks, each as one mark in the files.
    const bool multiLine = std::strcmp(rule.name, "Etic2A") == 0;
    if (value.find('\0') != std::string::npos ||
        (!multiLine && value.find_first_of("\r\n") != std::string::npos))
        return "contiene un a capo, che può stare solo in Etic2A";
    if (multiLine && value.find(kLineBreakMark) != std::string::npos)
        return Join({"contiene il carattere ", kLineBreakMark,
                     ", che nei file di progetto e inf indica un a capo"});
    if (!written)
        return "";
    if (value.empty())
        return rule.required ? "è vuoto" : "";
    if (const char c = FirstOf(rule.cutsLine, value))
        return Join({"non può contenere ", CharacterName(c),
                     ", che nel file inf dividerebbe o taglierebbe la sua riga"});
    if (rule.trimmed && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                         value.back() == '\t'))
        return "comincia o finisce con uno spazio, che il programma di installazione "
               "toglierebbe";
    if (rule.percent == Percent::Single && CountOf(value, '%') > 1)
        return "contiene più di un segno %: il programma di installazione leggerebbe il testo "
               "tra due % come una chiave del file inf";
    if (rule.windowsName) {
        const std::string fault = NameFault(rule, value);
        if (!fault.empty())
            return fault;
    }
    const std::string stored = multiLine ? EncodeLineBreaks(value) : value;
    const size_t length = CharacterCount(stored);
    if (rule.maxCharacters > 0 && length > static_cast<size_t>(rule.maxCharacters))
        return Join({"è lungo ", std::to_string(length),
                     " caratteri: il programma di installazione ne legge al massimo ",
                     std::to_string(rule.maxCharacters)});
    return "";
}

std::string Sentence(const std::string& label, const std::string& value,
                     const std::string& reason) {
    return Join({"Il campo ", label, " (\"", value, "\") ", reason, "."});
}

// "Link nome" of the 2nd link as "Link 2 nome", "Files" of the 3rd file as "Files 3".
std::string EntryLabel(const char* rule, size_t entry) {
    const char* part = std::strchr(rule, ' ');
    const std::string_view list(rule, part == nullptr ? std::strlen(rule) : part - rule);
    return Join({list, " ", std::to_string(entry), part == nullptr ? "" : part});
}

class FaultList {
  public:
    FaultList(const Project& p, bool full) : p_(p), full_(full) {}

    // The value of the key rule, or (entry > 0) of that part of the entry-th entry.
    void Check(const char* rule, size_t entry, const std::string& value) {
        const FieldRule& row = *FindFieldRule(rule);
        const std::string reason = Reason(row, value, IsWritten(row.written, p_, full_));
        if (reason.empty())
            return;
        const std::string label = entry == 0 ? std::string(rule) : EntryLabel(rule, entry);
        faults_.push_back(
            {label, Sentence(label, value, reason), Join({rule, "\n", value, "\n", reason})});
    }

    // A fault of two values, or of a path: its sentence names no place in a list.
    void Add(const std::string& label, const std::string& text) {
        faults_.push_back({label, text, text});
    }

    std::vector<FieldFault> Take() { return std::move(faults_); }

  private:
    const Project& p_;
    bool full_;
    std::vector<FieldFault> faults_;
};

// Each key that an earlier one equals: (the earlier one, the later one).
std::vector<std::pair<size_t, size_t>> SameKeys(const std::vector<std::string>& keys) {
    std::vector<std::pair<size_t, size_t>> same;
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (seen.insert(keys[i]).second)
            continue;
        size_t first = 0;
        while (keys[first] != keys[i])
            ++first;
        same.emplace_back(first, i);
    }
    return same;
}

// Two files of one destination folder whose names differ only in letter case would be
// installed onto one file; two links of one place likewise onto one link.
void CheckCaseCollisions(const Project& p, bool full, FaultList* faults) {
    std::vector<std::string> keys;
    for (const FileEntry& file : p.Files())
        keys.push_back(file.destination.substr(0, 1) +
                       FoldedName(platform::SourceFileName(file.path)));
    for (const auto& pair : SameKeys(keys)) {
        const size_t i = pair.second;
        const FileEntry& file = p.Files()[i];
        const FileEntry& first = p.Files()[pair.first];
        faults->Add(EntryLabel("Files", i + 1),
                    Join({"I file ", first.path, " e ", file.path,
                          " hanno nomi che differiscono solo per maiuscole e minuscole: "
                          "Windows li installerebbe nello stesso file (destinazione ",
                          file.destination.substr(0, 1), ")."}));
    }
    if (!full)
        return;
    keys.clear();
    for (const LinkEntry& link : p.Links())
        keys.push_back(link.location + FoldedName(link.name));
    for (const auto& pair : SameKeys(keys)) {
        const size_t i = pair.second;
        const LinkEntry& link = p.Links()[i];
        const LinkEntry& first = p.Links()[pair.first];
        if (first == link)
            continue; // the same link twice, as the link dialog allows: one link file
        faults->Add(EntryLabel("Link", i + 1),
                    Join({"I collegamenti \"", first.name, "\" e \"", link.name,
                          "\" hanno nomi che differiscono al più per maiuscole e minuscole: "
                          "Windows li farebbe nello stesso file (collocazione ",
                          link.location, ")."}));
    }
}

// The paths that the installation makes in its folder: each file of destination D, and
// the program to start.
void CheckInstalledPaths(const Project& p, FaultList* faults) {
    const std::string folder = p.DefCartella + p.DefDir + "\\";
    auto check = [&](const std::string& label, const std::string& name) {
        const std::string path = folder + name;
        const size_t length = CharacterCount(path);
        if (length > kMaxWindowsPath)
            faults->Add(label, Join({"Il file ", name, " sarebbe installato come ", path,
                                     ", un percorso di ", std::to_string(length),
                                     " caratteri: Windows e il programma di installazione ne "
                                     "ammettono al massimo ",
                                     std::to_string(kMaxWindowsPath), "."}));
    };
    for (size_t i = 0; i < p.Files().size(); ++i) {
        const FileEntry& file = p.Files()[i];
        if (!file.destination.empty() && file.destination[0] == 'D')
            check(EntryLabel("Files", i + 1), platform::SourceFileName(file.path));
    }
    if (p.ChkLancio() == 1)
        check("Lancio", p.Lancio);
}

} // namespace

const FieldRule* FindFieldRule(const char* name) {
    for (const FieldRule& rule : kRules) {
        if (std::strcmp(name, rule.name) == 0)
            return &rule;
    }
    return nullptr;
}

std::string FieldValueReason(const FieldRule& rule, const std::string& value) {
    return Reason(rule, value, rule.written != Written::Never);
}

std::string FieldValueFault(const FieldRule& rule, const std::string& label,
                            const std::string& value) {
    const std::string reason = FieldValueReason(rule, value);
    return reason.empty() ? "" : Sentence(label, value, reason);
}

std::vector<FieldFault> ProjectFieldFaults(const Project& p, bool fullScript) {
    FaultList faults(p, fullScript);
    for (const FieldRule& rule : kRules) {
        if (rule.text != nullptr)
            faults.Check(rule.name, 0, p.*rule.text);
    }
    // The flags are whole numbers of the model; each holds 0 or 1 by its setter.
    for (size_t i = 0; i < p.Files().size(); ++i) {
        faults.Check("Files", i + 1, platform::SourceFileName(p.Files()[i].path));
        faults.Check("Files destinazione", i + 1, p.Files()[i].destination);
    }
    for (size_t i = 0; i < p.Links().size(); ++i) {
        faults.Check("Link file", i + 1, p.Links()[i].file);
        faults.Check("Link nome", i + 1, p.Links()[i].name);
        faults.Check("Link collocazione", i + 1, p.Links()[i].location);
    }
    for (size_t i = 0; i < p.RegistryEntries().size(); ++i) {
        const std::string& entry = p.RegistryEntries()[i];
        faults.Check("Chiavi radice", i + 1, GetField(entry, ',', 1));
        faults.Check("Chiavi sottochiave", i + 1, GetField(entry, ',', 2));
        faults.Check("Chiavi nome", i + 1, GetField(entry, '"', 2));
        faults.Check("Chiavi valore", i + 1, GetField(entry, '"', 4));
    }
    CheckCaseCollisions(p, fullScript, &faults);
    CheckInstalledPaths(p, &faults);
    return faults.Take();
}

platform::Status CheckProjectFields(const Project& project, bool fullScript) {
    const std::vector<FieldFault> faults = ProjectFieldFaults(project, fullScript);
    if (faults.empty())
        return platform::Status::Ok();
    return platform::Status::Failed(faults.front().text, platform::ErrorKind::Refused);
}

platform::Status CheckNewFaults(const Project& loaded, const Project& edited) {
    // Faults are told apart by what they are, not by where their entries stand: removing
    // an entry moves the ones after it, and brings no fault.
    std::unordered_map<std::string, int> before;
    for (const FieldFault& fault : ProjectFieldFaults(loaded, loaded.Distribuzione() == 0))
        ++before[fault.identity];
    for (const FieldFault& fault : ProjectFieldFaults(edited, edited.Distribuzione() == 0)) {
        if (--before[fault.identity] < 0)
            return platform::Status::Failed(fault.text, platform::ErrorKind::Refused);
    }
    return platform::Status::Ok();
}

std::string InfTextOf(const char* field, const std::string& value) {
    const FieldRule* rule = FindFieldRule(field);
    if (rule == nullptr || rule->percent != Percent::Doubled)
        return value;
    // A quote can only be in a text whose line carries it: within quotes, doubled.
    const bool quotes = std::string(rule->cutsLine).find('"') == std::string::npos;
    std::string out;
    out.reserve(value.size() + 4);
    for (char c : value) {
        if (c == '%' || (c == '"' && quotes))
            out += c;
        out += c;
    }
    return out;
}

std::string ProfileLineValue(const std::string& value) {
    if (value.empty())
        return value;
    const bool blank = value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                       value.back() == '\t';
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return blank || quoted ? "\"" + value + "\"" : value;
}

std::string FoldedName(const std::string& utf8) {
    std::string ansi;
    if (!platform::Utf8ToWindows1252(utf8, &ansi))
        return utf8;
    for (char& c : ansi) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
            c = static_cast<char>(u - 0x20);
        else if (u == 0x9A || u == 0x9C || u == 0x9E)
            c = static_cast<char>(u - 0x10);
        else if (u == 0xFF)
            c = static_cast<char>(0x9F);
    }
    return ansi;
}

} // namespace velaset

// Versione, Editore, SitoWeb and Ambito: their rules, their stored texts and the rules of
// a package for one user.
#include "builder/project/package_keys.h"

#include <cstring>

#include "builder/project/project.h"

namespace velaset {

namespace {

const char kVersionRule[] = "può contenere solo da uno a quattro numeri separati da punti "
                            "(per esempio 1.2 o 2.0.1.15)";
const char kTextRule[] = "non può contenere virgolette né caratteri di controllo, e ha al più "
                         "256 caratteri";
const char kSiteRule[] = "deve essere un indirizzo che comincia con http:// o https://, senza "
                         "spazi né virgolette";
const char kScopeRule[] = "può valere solo macchina o utente";

std::string Lower(std::string text) {
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

bool HasControlOrQuote(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == '"')
            return true;
    }
    return false;
}

// Dotted numbers, one to four parts of one to nine digits each (a part fits 32 bits).
bool IsVersion(const std::string& text) {
    int parts = 1, digits = 0;
    for (char c : text) {
        if (c == '.') {
            if (digits == 0 || ++parts > 4)
                return false;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 9) {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0;
}

bool IsWebSite(const std::string& text) {
    const std::string lower = Lower(text);
    const size_t scheme = lower.rfind("https://", 0) == 0  ? 8
                          : lower.rfind("http://", 0) == 0 ? 7
                                                           : 0;
    if (scheme == 0 || text.size() == scheme || text.size() > 2048)
        return false;
    for (unsigned char c : text) {
        if (c <= 0x20 || c == 0x7F || c == '"')
            return false;
    }
    return true;
}

// The text keys: where the project keeps each and its rule.
struct TextKey {
    const char* name;
    std::string Project::*field;
    bool (*valid)(const std::string&);
    const char* rule;
};

bool IsPlainText(const std::string& text) {
    return !HasControlOrQuote(text) && text.size() <= 256 &&
           text.find_first_not_of(' ') != std::string::npos;
}

const TextKey kTextKeys[] = {
    {"Versione", &Project::Versione, IsVersion, kVersionRule},
    {"Editore", &Project::Editore, IsPlainText, kTextRule},
    {"SitoWeb", &Project::SitoWeb, IsWebSite, kSiteRule},
};

const TextKey* FindTextKey(const std::string& key) {
    for (const TextKey& k : kTextKeys) {
        if (key == k.name)
            return &k;
    }
    return nullptr;
}

const char kAmbito[] = "Ambito";

std::string EntryText(const char* section, size_t index, const std::string& text) {
    return "la voce " + std::to_string(index + 1) + " di [" + section + "] (" + text + ")";
}

} // namespace

const std::vector<const char*>& PackageKeyNames() {
    static const std::vector<const char*> names = {"Versione", "Editore", "SitoWeb", kAmbito};
    return names;
}

std::string PackageKeyText(const Project& project, const std::string& key) {
    if (key == kAmbito)
        return project.Ambito == Scope::User ? "utente" : "";
    const TextKey* k = FindTextKey(key);
    return k == nullptr ? std::string() : project.*(k->field);
}

const char* SetPackageKey(Project* project, const std::string& key, const std::string& text) {
    if (key == kAmbito) {
        const std::string lower = Lower(text);
        if (lower != "macchina" && lower != "utente" && !text.empty())
            return kScopeRule;
        project->Ambito = lower == "utente" ? Scope::User : Scope::Machine;
        return nullptr;
    }
    const TextKey* k = FindTextKey(key);
    if (k == nullptr)
        return "non è una chiave del pacchetto";
    if (!text.empty() && !k->valid(text))
        return k->rule;
    project->*(k->field) = text;
    return nullptr;
}

platform::Status CheckPackageKeys(const Project& project) {
    Project copy = project;
    for (const char* key : PackageKeyNames()) {
        if (const char* fault = SetPackageKey(&copy, key, PackageKeyText(project, key)))
            return platform::Status::Failed(std::string("Il campo ") + key + " " + fault + ".",
                                            platform::ErrorKind::Refused);
    }
    return platform::Status::Ok();
}

const char* PackageKeyDefault(const std::string& key) {
    return key == kAmbito ? "macchina" : "";
}

bool HasPackageKeys(const Project& project) {
    for (const char* key : PackageKeyNames()) {
        if (!PackageKeyText(project, key).empty())
            return true;
    }
    return false;
}

platform::Status CheckScope(const Project& project) {
    if (project.Ambito != Scope::User)
        return platform::Status::Ok();
    std::string found;
    auto add = [&found](const std::string& what) { found += (found.empty() ? "" : "; ") + what; };
    if (project.Distribuzione() == 1)
        add("Distribuzione=1 (un pacchetto senza disinstallazione)");
    for (size_t i = 0; i < project.Files().size(); ++i) {
        const FileEntry& file = project.Files()[i];
        if (file.destination != "D")
            add(EntryText("Files", i, file.Text()));
    }
    for (size_t i = 0; i < project.RegistryEntries().size(); ++i) {
        const std::string& entry = project.RegistryEntries()[i];
        if (GetField(entry, ',', 1) != "HKCU")
            add(EntryText("Chiavi", i, entry));
    }
    if (found.empty())
        return platform::Status::Ok();
    return platform::Status::Failed(
        "Un pacchetto per l'utente (Ambito=utente) si installa senza amministratore: può "
        "copiare file solo nella cartella del programma (destinazione D, senza registrare "
        "librerie) e scrivere nel registro solo sotto HKCU. Non lo permettono: " +
            found + ".",
        platform::ErrorKind::Refused);
}

} // namespace velaset

#include "builder/package/launch_check.h"

#include <cctype>

#include "platform/source_path.h"

namespace velaset {
namespace {

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Lancio starts with name: the whole text, or name and a blank before the parameters;
// a quoted name ends at its closing quote.
bool StartsProgram(const std::string& lancio, const std::string& name) {
    std::string text = lancio;
    if (!text.empty() && text[0] == '"') {
        size_t close = text.find('"', 1);
        if (close == std::string::npos)
            return false;
        std::string rest = text.substr(close + 1);
        if (!rest.empty() && rest[0] != ' ')
            return false;
        return SameLetters(text.substr(1, close - 1), name);
    }
    if (text.size() < name.size() || !SameLetters(text.substr(0, name.size()), name))
        return false;
    return text.size() == name.size() || text[name.size()] == ' ';
}

} // namespace

std::string LaunchRefusal(const Project& project) {
    if (project.ChkLancio() != 1)
        return "";
    for (const FileEntry& file : project.Files()) {
        if (file.destination.empty() || file.destination[0] != 'D')
            continue;
        if (StartsProgram(project.Lancio, platform::SourceFileName(file.path)))
            return "";
    }
    return "Il programma da avviare alla fine dell'installazione (Lancio), \"" + project.Lancio +
           "\", non è tra i file che il pacchetto installa nella cartella del programma: il "
           "pacchetto non è stato creato. Aggiungere il file al progetto, oppure correggere "
           "Lancio.";
}

} // namespace velaset

// The forms of the list entries, checked when a project is loaded and when a script is
// built from it.
#include "builder/project/entry_forms.h"

#include "platform/source_path.h"

namespace velaset {

namespace {

const char kRegistryForm[] = "non ha la forma RADICE,sottochiave,\"nome\",,\"valore\"";

// Characters that Windows refuses in a file name, and the control characters.
bool HasForbiddenNameChar(const std::string& name) {
    for (unsigned char c : name) {
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

bool IsRegistryRoot(const std::string& token) {
    return token == "HKCR" || token == "HKCU" || token == "HKLM" || token == "HCU";
}

std::string RegistryEntryFault(const std::string& entry) {
    // ROOT "," SUBKEY "," Q NAME Q ",," Q VALUE Q, read left to right: the subkey holds
    // no comma and the name and value no quote, so there is one way to read it.
    const size_t rootEnd = entry.find(',');
    if (rootEnd == std::string::npos)
        return kRegistryForm;
    const std::string root = entry.substr(0, rootEnd);
    if (!IsRegistryRoot(root))
        return "la radice \"" + root + "\" non è HKCR, HKCU, HKLM o HCU";
    const size_t subkeyEnd = entry.find(',', rootEnd + 1);
    if (subkeyEnd == std::string::npos)
        return kRegistryForm;
    const std::string subkey = entry.substr(rootEnd + 1, subkeyEnd - rootEnd - 1);
    if (subkey.empty())
        return "la sottochiave è vuota";
    // In the script a quote would open a quoted text and a semicolon a comment.
    if (subkey.find_first_of("\";") != std::string::npos)
        return "la sottochiave contiene virgolette o un punto e virgola";
    const size_t nameStart = subkeyEnd + 1;
    if (nameStart >= entry.size() || entry[nameStart] != '"')
        return kRegistryForm;
    const size_t nameEnd = entry.find('"', nameStart + 1);
    if (nameEnd == std::string::npos || entry.compare(nameEnd, 4, "\",,\"") != 0)
        return kRegistryForm;
    const size_t valueStart = nameEnd + 4;
    const size_t valueEnd = entry.find('"', valueStart);
    if (valueEnd == std::string::npos || valueEnd + 1 != entry.size())
        return kRegistryForm;
    if (valueEnd == valueStart)
        return "il valore è vuoto";
    return "";
}

std::string LinkFault(const LinkEntry& link) {
    if (link.location != "P" && link.location != "D")
        return "la collocazione \"" + link.location + "\" non è P o D";
    if (link.file.empty())
        return "manca il file del collegamento";
    if (link.file.find(',') != std::string::npos || HasForbiddenNameChar(link.file))
        return "il file \"" + link.file + "\" non è un nome di file senza cartella";
    if (link.name.empty())
        return "manca il nome del collegamento";
    if (link.name.find_first_of(",\"") != std::string::npos)
        return "il nome del collegamento contiene virgole o virgolette";
    return "";
}

std::string DestinationFault(const FileEntry& file) {
    const std::string& d = file.destination;
    const bool code = !d.empty() && std::string("DWSHI").find(d[0]) != std::string::npos;
    const bool marked = code && d.size() == 2 && d[1] == '*' && (d[0] == 'D' || d[0] == 'S');
    if (!(code && d.size() == 1) && !marked)
        return "la destinazione \"" + d + "\" non è D, W, S, H, I, D* o S*";
    return "";
}

std::string EntryFaultText(const std::string& section, long key, const std::string& text,
                           const std::string& reason) {
    return "La voce " + std::to_string(key) + " di [" + section + "] (" + text +
           ") non è valida: " + reason + ".";
}

platform::Status CheckEntryForms(const Project& project) {
    auto refused = [](const char* section, size_t index, const std::string& text,
                      const std::string& reason) {
        return platform::Status::Failed(
            EntryFaultText(section, static_cast<long>(index + 1), text, reason),
            platform::ErrorKind::Refused);
    };
    const auto& files = project.Files();
    for (size_t i = 0; i < files.size(); ++i) {
        std::string fault = DestinationFault(files[i]);
        if (fault.empty() && HasForbiddenNameChar(platform::SourceFileName(files[i].path)))
            fault = "il nome del file contiene caratteri che Windows non ammette";
        if (!fault.empty())
            return refused("Files", i, files[i].Text(), fault);
    }
    const auto& links = project.Links();
    for (size_t i = 0; i < links.size(); ++i) {
        const std::string fault = LinkFault(links[i]);
        if (!fault.empty())
            return refused("Link", i, links[i].Text(), fault);
    }
    const auto& entries = project.RegistryEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string fault = RegistryEntryFault(entries[i]);
        if (!fault.empty())
            return refused("Chiavi", i, entries[i], fault);
    }
    return platform::Status::Ok();
}

} // namespace velaset

// The forms of the list entries, checked when a project is loaded and when a script is
// built from it.
#include "builder/project/entry_forms.h"

#include <cstring>

#include "platform/source_path.h"

namespace velaset {

namespace {

const char kRegistryForm[] = "non ha la forma RADICE,sottochiave,\"nome\",,\"valore\"";

// Characters that Windows refuses in a file name, and the control characters.
bool HasForbiddenNameChar(const std::string& name) {
    for (unsigned char c : name) {
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return true;
    }
    return false;
}

} // namespace

const char* RegistryEntryFault(const std::string& entry) {
    // ROOT "," SUBKEY "," Q NAME Q ",," Q VALUE Q, read left to right: the subkey holds
    // no comma and the name and value no quote, so there is one way to read it.
    const size_t rootEnd = entry.find(',');
    const size_t subkeyEnd = entry.find(',', rootEnd + 1);
    if (subkeyEnd == std::string::npos)
        return kRegistryForm;
    const std::string root = entry.substr(0, rootEnd);
    if (root != "HKCR" && root != "HKCU" && root != "HKLM" && root != "HCU")
        return "la radice non è HKCR, HKCU, HKLM o HCU";
    if (subkeyEnd == rootEnd + 1)
        return "la sottochiave è vuota";
    // In the script a quote would open a quoted text and a semicolon a comment.
    const size_t special = entry.find_first_of("\";", rootEnd + 1);
    if (special < subkeyEnd)
        return "la sottochiave contiene virgolette o un punto e virgola";
    const size_t nameStart = subkeyEnd + 1;
    const size_t nameEnd = entry.find('"', nameStart + 1);
    if (special != nameStart || entry[nameStart] != '"' || nameEnd == std::string::npos ||
        entry.compare(nameEnd, 4, "\",,\"") != 0)
        return kRegistryForm;
    const size_t valueStart = nameEnd + 4;
    const size_t valueEnd = entry.find('"', valueStart);
    if (valueEnd == std::string::npos || valueEnd + 1 != entry.size())
        return kRegistryForm;
    if (valueEnd == valueStart)
        return "il valore è vuoto";
    return nullptr;
}

const char* LinkFault(const LinkEntry& link) {
    if (link.location != "P" && link.location != "D")
        return "la collocazione non è P o D";
    if (link.file.empty())
        return "manca il file";
    if (link.file.find(',') != std::string::npos || HasForbiddenNameChar(link.file))
        return "il file non è un nome senza cartella";
    if (link.name.empty())
        return "manca il nome";
    if (link.name.find_first_of(",\"") != std::string::npos)
        return "il nome contiene virgole o virgolette";
    return nullptr;
}

const char* DestinationFault(const FileEntry& file) {
    const std::string& d = file.destination;
    const bool code = d.size() == 1 || (d.size() == 2 && d[1] == '*');
    if (!code || std::strchr(d.size() == 1 ? "DWSHI" : "DS", d[0]) == nullptr || d[0] == 0)
        return "la destinazione non è D, W, S, H, I, D* o S*";
    return nullptr;
}

std::string EntryFaultText(const std::string& section, long key, const std::string& text,
                           const char* reason) {
    std::string message = "La voce ";
    message.append(std::to_string(key)).append(" di [").append(section).append("] (");
    message.append(text).append(") non è valida: ").append(reason).append(".");
    return message;
}

platform::Status CheckEntryForms(const Project& project) {
    const char* section = nullptr;
    const char* fault = nullptr;
    std::string text;
    size_t index = 0;
    const auto& files = project.Files();
    for (; fault == nullptr && index < files.size(); ++index) {
        section = "Files";
        text = files[index].Text();
        fault = DestinationFault(files[index]);
        if (fault == nullptr && HasForbiddenNameChar(platform::SourceFileName(files[index].path)))
            fault = "il nome del file ha caratteri che Windows non ammette";
    }
    const auto& links = project.Links();
    for (size_t i = 0; fault == nullptr && i < links.size(); ++i) {
        section = "Link";
        index = i + 1;
        text = links[i].Text();
        fault = LinkFault(links[i]);
    }
    const auto& entries = project.RegistryEntries();
    for (size_t i = 0; fault == nullptr && i < entries.size(); ++i) {
        section = "Chiavi";
        index = i + 1;
        text = entries[i];
        fault = RegistryEntryFault(entries[i]);
    }
    if (fault == nullptr)
        return platform::Status::Ok();
    return platform::Status::Failed(
        EntryFaultText(section, static_cast<long>(index), text, fault),
        platform::ErrorKind::Refused);
}

} // namespace velaset

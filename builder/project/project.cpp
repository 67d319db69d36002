// The Project: fields, flags with their dependencies, lists and the new-project reset.
#include "builder/project/project.h"

#include "platform/registry.h"
#include "platform/source_path.h"

namespace velaset {

const char* const kNewProjectTitle = "Nuovo Progetto";
const char* const kDefaultErrore = "L'installazione ha riscontrato un errore e verrà terminata!";
const char* const kDefaultStop = "L'installazione del programma è stata interrotta!";
const char* const kDefaultBrowse = "Il programma verrà installato nella seguente cartella:";
const char* const kDefaultDisinstalla = "Vuoi disinstallare questo programma dal tuo computer?";

const char* ArchitectureName(Architecture architecture) {
    return architecture == Architecture::X64 ? "x64" : "x86";
}

bool ParseArchitecture(const std::string& text, Architecture* architecture) {
    std::string lower = text;
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != "x86" && lower != "x64")
        return false;
    *architecture = lower == "x64" ? Architecture::X64 : Architecture::X86;
    return true;
}

const char* CompressionName(Compression compression) {
    return compression == Compression::Lzx ? "LZX" : "MSZIP";
}

bool ParseCompression(const std::string& text, Compression* compression) {
    std::string upper = text;
    for (char& c : upper)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper != "LZX" && upper != "MSZIP")
        return false;
    *compression = upper == "LZX" ? Compression::Lzx : Compression::MsZip;
    return true;
}

namespace {

platform::Status FullList(const char* what) {
    return platform::Status::Failed("L'elenco " + std::string(what) +
                                    " è pieno: può contenere al massimo " +
                                    std::to_string(kMaxListEntries) + " voci.");
}

bool InRange(int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

} // namespace

Project::Project() {
    SetDefaultMessages();
}

void Project::SetButtonBrowse(int value) {
    buttonBrowse_ = value != 0 ? 1 : 0;
}

void Project::SetSfondo(int value) {
    int flag = value != 0 ? 1 : 0;
    if (flag == sfondo_)
        return;
    sfondo_ = flag;
    states_.testoSfondoEditable = flag == 1;
    if (flag == 1)
        focusRequest_ = "TestoSfondo";
    else
        TestoSfondo.clear();
}

void Project::SetGruppo(int value) {
    int flag = value != 0 ? 1 : 0;
    if (flag == gruppo_)
        return;
    gruppo_ = flag;
    states_.nomeGruppoEditable = flag == 1;
    states_.linksEnabled = flag == 1;
    if (flag == 0)
        links_.clear();
}

void Project::SetDlgEnd(int value) {
    int flag = value != 0 ? 1 : 0;
    if (flag == dlgEnd_)
        return;
    dlgEnd_ = flag;
    states_.captionBEditable = flag == 1;
    states_.eticBEditable = flag == 1;
}

void Project::SetUninstall(int value) {
    int flag = value != 0 ? 1 : 0;
    if (flag == uninstall_)
        return;
    uninstall_ = flag;
    states_.uninstallStringEditable = flag == 1;
    if (flag == 1) {
        UninstallString = "Disinstalla";
        focusRequest_ = "UninstallString";
    } else {
        UninstallString.clear();
    }
}

void Project::SetChkLancio(int value) {
    int flag = value != 0 ? 1 : 0;
    if (flag == chkLancio_)
        return;
    chkLancio_ = flag;
    states_.lancioEditable = flag == 1;
    if (flag == 1)
        focusRequest_ = "Lancio";
    else
        Lancio.clear();
}

void Project::SetDistribuzione(int value) {
    distribuzione_ = value != 0 ? 1 : 0;
}

platform::Status Project::AddFile(const FileEntry& entry) {
    if (files_.size() >= static_cast<size_t>(kMaxListEntries))
        return FullList("dei file");
    files_.push_back(entry);
    return platform::Status::Ok();
}

platform::Status Project::AddLink(const LinkEntry& entry) {
    if (links_.size() >= static_cast<size_t>(kMaxListEntries))
        return FullList("dei collegamenti");
    links_.push_back(entry);
    return platform::Status::Ok();
}

platform::Status Project::AddRegistryEntry(const std::string& entry) {
    if (registryEntries_.size() >= static_cast<size_t>(kMaxListEntries))
        return FullList("delle voci di registro");
    registryEntries_.push_back(entry);
    return platform::Status::Ok();
}

void Project::SetFileDestination(int index, const std::string& destination) {
    if (InRange(index, files_.size()))
        files_[index].destination = destination;
}

void Project::RemoveFileAt(int index) {
    if (InRange(index, files_.size()))
        files_.erase(files_.begin() + index);
}

void Project::ReplaceLink(int index, const LinkEntry& entry) {
    if (InRange(index, links_.size()))
        links_[index] = entry;
}

void Project::RemoveLinkAt(int index) {
    if (InRange(index, links_.size()))
        links_.erase(links_.begin() + index);
}

void Project::ReplaceRegistryEntry(int index, const std::string& entry) {
    if (InRange(index, registryEntries_.size()))
        registryEntries_[index] = entry;
}

void Project::RemoveRegistryEntryAt(int index) {
    if (InRange(index, registryEntries_.size()))
        registryEntries_.erase(registryEntries_.begin() + index);
}

std::string Project::TakeFocusRequest() {
    std::string request = focusRequest_;
    focusRequest_.clear();
    return request;
}

void Project::SetDefaultMessages() {
    Errore = kDefaultErrore;
    Stop = kDefaultStop;
    Browse = kDefaultBrowse;
    Disinstalla = kDefaultDisinstalla;
}

void Project::ResetToNewProject(const std::string& folder, const std::string& defCartella) {
    const std::string title = kNewProjectTitle;
    Titolo = title;
    Caption = title;
    Etic1A = "Benvenuti nell'installazione di " + title;
    Etic2A = "Questo programma installerà " + title + " sul vostro computer.";
    SetSfondo(0);
    TestoSfondo.clear();
    DefCartella = defCartella;
    DefDir = title;
    files_.clear();
    links_.clear();
    registryEntries_.clear();
    SetGruppo(1);
    NomeGruppo = title;
    CaptionB = title;
    EticB = "Installazione completata con successo.";
    LabelControl = title + ", Versione 1.0";
    SetChkLancio(0);
    states_.lancioEditable = false;
    states_.testoSfondoEditable = false;
    ExeFile = platform::JoinSourcePath(folder, title + ".exe");
    ProgFile = platform::JoinSourcePath(folder, title + ".mip");
    Architettura = Architecture::X86;
    Compressione = Compression::MsZip;
    Versione.clear();
    Editore.clear();
    SitoWeb.clear();
    Ambito = Scope::Machine;
    SetDefaultMessages();
}

std::string DefCartellaFromSystem() {
    std::string programFiles;
    if (!platform::ReadProgramFilesDir(&programFiles))
        return "\\";
    return programFiles + "\\";
}

} // namespace velaset

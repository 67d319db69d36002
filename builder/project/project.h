// The installation project: everything that describes one setup package. The wizard
// edits it in place, the project file saves and loads it, the setup-script generator
// and the build read it. Texts are UTF-8; multi-line texts (only Etic2A) use CR LF.
#ifndef VELASET_BUILDER_PROJECT_PROJECT_H
#define VELASET_BUILDER_PROJECT_PROJECT_H

#include <string>
#include <vector>

#include "platform/status.h"

namespace velaset {

// The title of a new project, which title propagation later replaces.
extern const char* const kNewProjectTitle; // "Nuovo Progetto"

// Default texts of the four installer messages.
extern const char* const kDefaultErrore;
extern const char* const kDefaultStop;
extern const char* const kDefaultBrowse;
extern const char* const kDefaultDisinstalla;

// Counts and indexes of the lists are 16-bit signed integers.
constexpr int kMaxListEntries = 32767;

// The processor family of a package: of the programs it installs, and so of its
// installer stub, its setup runtime and the system programs that run its script. X86
// (32-bit) is the package every project made before; an X64 package installs 64-bit
// programs into the places of 64-bit Windows (its program-files folder, its system
// folder, its registry view).
enum class Architecture {
    X86,
    X64,
};

// Who a package is installed for (the project key Ambito, package_keys.h): the whole
// machine (the default: an administrator, the program-files folder, HKLM) or the user
// who runs it (no administrator, the user's programs folder, HKCU).
enum class Scope {
    Machine,
    User,
};

// "x86" or "x64": the value of the project key Architettura and of "build --arch".
const char* ArchitectureName(Architecture architecture);
// The architecture that text names ("x86" or "x64", in any letter case); false for any
// other text.
bool ParseArchitecture(const std::string& text, Architecture* architecture);

// The compression of a package's cabinet: MSZIP, as every project made before, or LZX,
// a smaller package that takes longer to make.
enum class Compression {
    MsZip,
    Lzx,
};

// "MSZIP" or "LZX": the value of the project key Compressione.
const char* CompressionName(Compression compression);
// The compression that text names ("MSZIP" or "LZX", in any letter case); false for any
// other text.
bool ParseCompression(const std::string& text, Compression* compression);

// One project file: full source path and destination entry (a DestinationCode
// letter, optionally followed by the SelfRegisterMark "*").
struct FileEntry {
    std::string path;
    std::string destination;

    // Stored form: path & "," & destination.
    std::string Text() const { return path + "," + destination; }
    // The text split at its last ",": the path (which may hold commas) and the
    // destination entry (which never does).
    static FileEntry FromText(const std::string& text);
    bool operator==(const FileEntry& o) const {
        return path == o.path && destination == o.destination;
    }
};

// One link: file name of a project file (no folder), link name, location "P"
// (program group) or "D" (desktop).
struct LinkEntry {
    std::string file;
    std::string name;
    std::string location;

    // Stored form: file & "," & name & "," & location.
    std::string Text() const { return file + "," + name + "," + location; }
    // Fields 1, 2 and 3 of the text split at ",".
    static LinkEntry FromText(const std::string& text);
    bool operator==(const LinkEntry& o) const {
        return file == o.file && name == o.name && location == o.location;
    }
};

// Which fields the wizard lets the user edit, following the flags. Plain state: the
// wizard's pages read it; nothing here knows about windows.
struct FieldStates {
    bool testoSfondoEditable = false;
    bool nomeGruppoEditable = true;
    bool linksEnabled = true;
    bool captionBEditable = true;
    bool eticBEditable = true;
    bool uninstallStringEditable = false;
    bool lancioEditable = false;
};

class Project {
  public:
    // The start values: empty texts, flags ButtonBrowse 1, Gruppo 1, DlgEnd 1, the
    // others 0, the default messages, empty lists.
    Project();

    // Texts, named after their project-file keys.
    std::string Titolo;
    std::string Caption;
    std::string Etic1A;
    std::string Etic2A; // the one multi-line text: line breaks as CR LF
    std::string TestoSfondo;
    std::string DefCartella; // program-files folder of the building machine + "\"
    std::string DefDir;
    std::string NomeGruppo;
    std::string CaptionB;
    std::string EticB;
    std::string LabelControl;
    std::string UninstallString;
    std::string Lancio;
    std::string ExeFile;  // source path of the setup executable
    std::string ProgFile; // source path of the project file

    // The package's architecture; the project file stores it only for X64.
    Architecture Architettura = Architecture::X86;
    // The cabinet's compression; the project file stores it only for LZX.
    Compression Compressione = Compression::MsZip;

    // How the installed package presents itself (package_keys.h); the project file
    // stores each only when set.
    std::string Versione; // dotted numbers, "" when not set
    std::string Editore;  // the publisher
    std::string SitoWeb;  // http:// or https:// address
    Scope Ambito = Scope::Machine;

    // The four installer messages.
    std::string Errore;
    std::string Stop;
    std::string Browse;
    std::string Disinstalla;

    // Flags (0 or 1). The setters apply the field dependencies whenever the value
    // changes; setting the value a flag already has changes nothing.
    int ButtonBrowse() const { return buttonBrowse_; }
    int Sfondo() const { return sfondo_; }
    int Gruppo() const { return gruppo_; }
    int DlgEnd() const { return dlgEnd_; }
    int Uninstall() const { return uninstall_; }
    int ChkLancio() const { return chkLancio_; }
    int Distribuzione() const { return distribuzione_; } // the distribution-only flag
    void SetButtonBrowse(int value);
    void SetSfondo(int value);
    void SetGruppo(int value);
    void SetDlgEnd(int value);
    void SetUninstall(int value);
    void SetChkLancio(int value);
    void SetDistribuzione(int value);

    // The three lists, in the order of display, saving and the setup script.
    const std::vector<FileEntry>& Files() const { return files_; }
    const std::vector<LinkEntry>& Links() const { return links_; }
    const std::vector<std::string>& RegistryEntries() const { return registryEntries_; }

    // Appending is refused when the list already holds kMaxListEntries entries.
    platform::Status AddFile(const FileEntry& entry);
    platform::Status AddLink(const LinkEntry& entry);
    platform::Status AddRegistryEntry(const std::string& entry);
    // Index-based edits; an index outside the list changes nothing.
    void SetFileDestination(int index, const std::string& destination);
    void RemoveFileAt(int index);
    void ClearFiles() { files_.clear(); }
    void ReplaceLink(int index, const LinkEntry& entry);
    void RemoveLinkAt(int index);
    void ClearLinks() { links_.clear(); }
    void ReplaceRegistryEntry(int index, const std::string& entry);
    void RemoveRegistryEntryAt(int index);
    void ClearRegistryEntries() { registryEntries_.clear(); }

    // Editable and enabled states, and the field that a dependency asked to take the
    // focus (empty when none); the wizard takes the request and gives the focus.
    const FieldStates& States() const { return states_; }
    std::string TakeFocusRequest();

    // The four messages back to their defaults.
    void SetDefaultMessages();

    // The new-project reset. folder is where ExeFile and ProgFile go (the application
    // folder in the wizard); defCartella is the program-files folder + "\".
    // ButtonBrowse, Distribuzione, DlgEnd, Uninstall and UninstallString are kept; a new
    // project is an X86 one for the machine, without Versione, Editore and SitoWeb.
    void ResetToNewProject(const std::string& folder, const std::string& defCartella);

    // Title propagation: the title field gains the focus (its text becomes the old
    // title), then loses it (the first occurrence of the old title is replaced by the
    // new one in Etic2A, Caption, Etic1A, NomeGruppo, CaptionB, EticB, LabelControl,
    // ExeFile and ProgFile).
    void BeginTitleEdit();
    void EndTitleEdit();
    // Both steps at once, as when the user types newTitle into the title field.
    void SetTitleAsTyped(const std::string& newTitle);
    // The replacement alone. An empty old title replaces nothing.
    void PropagateTitle(const std::string& oldTitle, const std::string& newTitle);

  private:
    int buttonBrowse_ = 1;
    int sfondo_ = 0;
    int gruppo_ = 1;
    int dlgEnd_ = 1;
    int uninstall_ = 0;
    int chkLancio_ = 0;
    int distribuzione_ = 0;
    std::vector<FileEntry> files_;
    std::vector<LinkEntry> links_;
    std::vector<std::string> registryEntries_;
    FieldStates states_;
    std::string focusRequest_;
    std::string oldTitle_;
};

// The text after the last "\" of a path (the whole text when there is none). For
// target paths and stored entries; source paths use platform::SourceFileName.
std::string FileName(const std::string& path);

// The n-th field of text split at separator, counting from 1; the last field runs to
// the end. Empty when n < 1 or the text has fewer than n fields.
std::string GetField(const std::string& text, char separator, int n);

// Lancio starts the file `name`: Lancio is the name in any letter case. The installer
// opens the file by its name in the installation folder, with no parameters (it takes
// everything after the last "\", "/" or ":" of its Run line as the name), so a name
// followed by parameters, or quoted, could not be started.
bool LancioStarts(const std::string& lancio, const std::string& name);

// DefCartella as the system gives it: ProgramFilesDir + "\", or "\" when unreadable.
std::string DefCartellaFromSystem();

} // namespace velaset

#endif

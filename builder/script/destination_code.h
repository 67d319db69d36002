// Destination codes: the five folders a project file can be installed into, and the rules
// by which a file's destination entry ("D", "S*", ...) is read everywhere in the builder.
#ifndef VELASET_BUILDER_SCRIPT_DESTINATION_CODE_H
#define VELASET_BUILDER_SCRIPT_DESTINATION_CODE_H

#include <array>
#include <string>
#include <vector>

namespace velaset {

// The mark after a code that asks for the library to be registered at installation.
constexpr char SelfRegisterMark = '*';

// Everything the setup script says about one destination code.
struct DestinationInfo {
    char code;                // 'D', 'W', 'S', 'H' or 'I'
    const char* listText;     // entry of the destination dialog's drop-down list
    const char* copySection;  // name of its copy section, without brackets
    const char* destDirsLine; // its line in [DestinationDirs]
    const char* folderToken;  // folder in the long-file-name entries, ends with "\"
};

// The five codes in the order the generator and the destination dialog walk them.
const std::array<DestinationInfo, 5>& DestinationCodes();

// The table row of a code, or nullptr when the character is none of the five.
const DestinationInfo* FindDestination(char code);

// The code of an entry is its first character (compared case-sensitively); '\0' when empty.
char CodeOf(const std::string& entry);

// True when the entry's first character is exactly `code`.
bool EntryHasCode(const std::string& entry, char code);

// True when the last character of the entry is the self-registration mark.
bool HasSelfRegisterMark(const std::string& entry);

// Only libraries may be registered: the last three characters of the path, upper-cased,
// are "DLL" or "OCX" (the dot is not looked at).
bool IsSelfRegisterFile(const std::string& path);

// Registration is honoured only for the installation folder and the system folder.
bool CodeAllowsSelfRegister(char code);

// Number of entries that begin with `code` and end with the mark.
int ContaAutoRegistrazioni(const std::vector<std::string>& entries, char code);

// The folders a newly added file is compared with to choose its default code.
struct DefaultFolders {
    std::string windowsFolder; // Windows directory, no trailing separator; empty when none
    std::string systemFolder;  // system directory, with or without a trailing separator
    char separator = '\\';     // separator of source paths on the building machine
};

// The default code of a file chosen from `chosenFolder` (no trailing separator):
// "W", "S", "H", "I" for the Windows, system, help and inf folders, compared without
// regard to letter case; "D" for every other folder.
char DefaultDestination(const std::string& chosenFolder, const DefaultFolders& folders);

} // namespace velaset

#endif

// Destination codes and the reading rules of destination entries.
#include "builder/script/destination_code.h"

#include "builder/script/text_case.h"

namespace velaset {

const std::array<DestinationInfo, 5>& DestinationCodes() {
    static const std::array<DestinationInfo, 5> table = {{
        {'D', "D - Directory di installazione", "Splash.CopyFiles", "Splash.CopyFiles=00,%PROGDIR%",
         "%PROGDIR%\\"},
        {'W', "W - Directory di Windows", "Splash.CopyWin", "Splash.CopyWin=10", "%10%\\"},
        {'S', "S - Directory System", "Splash.CopySys", "Splash.CopySys=11", "%11%\\"},
        {'H', "H - Directory Help di sistema", "Splash.CopyHlp", "Splash.CopyHlp=18", "%18%\\"},
        {'I', "I - Directory Inf", "Splash.CopyInf", "Splash.CopyInf=17", "%17%\\"},
    }};
    return table;
}

const DestinationInfo* FindDestination(char code) {
    for (const DestinationInfo& info : DestinationCodes()) {
        if (info.code == code) {
            return &info;
        }
    }
    return nullptr;
}

char CodeOf(const std::string& entry) {
    return entry.empty() ? '\0' : entry.front();
}

bool EntryHasCode(const std::string& entry, char code) {
    return !entry.empty() && entry.front() == code;
}

bool HasSelfRegisterMark(const std::string& entry) {
    return !entry.empty() && entry.back() == SelfRegisterMark;
}

bool IsSelfRegisterFile(const std::string& path) {
    if (path.size() < 3) {
        return false;
    }
    const std::string tail = AsciiUpper(path.substr(path.size() - 3));
    return tail == "DLL" || tail == "OCX";
}

bool CodeAllowsSelfRegister(char code) {
    return code == 'D' || code == 'S';
}

int ContaAutoRegistrazioni(const std::vector<std::string>& entries, char code) {
    int count = 0;
    for (const std::string& entry : entries) {
        if (EntryHasCode(entry, code) && HasSelfRegisterMark(entry)) {
            ++count;
        }
    }
    return count;
}

char DefaultDestination(const std::string& chosenFolder, const DefaultFolders& folders) {
    const std::string folder = AsciiUpper(chosenFolder);
    std::string system = folders.systemFolder;
    if (!system.empty() && (system.back() == folders.separator || system.back() == '\\')) {
        system.pop_back();
    }
    const std::string windows = folders.windowsFolder;
    // A machine without a Windows directory (the POSIX build without one configured)
    // has no Windows, help or inf folder to match.
    if (!windows.empty() && folder == AsciiUpper(windows)) {
        return 'W';
    }
    if (!system.empty() && folder == AsciiUpper(system)) {
        return 'S';
    }
    if (!windows.empty()) {
        if (folder == AsciiUpper(windows + folders.separator + "help")) {
            return 'H';
        }
        if (folder == AsciiUpper(windows + folders.separator + "inf")) {
            return 'I';
        }
    }
    return 'D';
}

} // namespace velaset

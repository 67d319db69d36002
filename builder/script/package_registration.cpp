// The registration of a full package: roots, uninstall command, Apps & Features values.
#include "builder/script/package_registration.h"

#include <cstdint>

#include "builder/project/package_keys.h"
#include "builder/script/destination_code.h"

namespace velaset {

namespace {

const char kUninstallPath[] = ",Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool ForUser(const Project& project) {
    return project.Ambito == Scope::User;
}

// A text inside a quoted value of the script: the setup engine reads "%name%" as a
// string of [Strings], and "%%" as one "%".
std::string InfValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

std::string StringValue(const std::string& key, const char* name, const std::string& value) {
    return key + "," + std::string(Q) + name + std::string(Q) + ", ," + std::string(Q) + value +
           std::string(Q);
}

std::string NumberValue(const std::string& key, const char* name, std::uint64_t value) {
    return key + "," + std::string(Q) + name + std::string(Q) + ",0x00010001," +
           std::to_string(value);
}

// The icon Apps & Features shows: the program that the setup starts at the end, installed
// into the installation folder, else the runtime.
std::string DisplayIcon(const Project& p, const std::vector<ScriptFile>& files) {
    if (p.ChkLancio() == 1) {
        for (const ScriptFile& file : files) {
            if (EntryHasCode(file.entry, 'D') && LancioStarts(p.Lancio, file.fileName))
                return "%PROGDIR%\\" + InfValue(file.fileName);
        }
    }
    return ForUser(p) ? "%PROGDIR%\\avviora.dll" : "%11%\\avviora.dll";
}

} // namespace

const char* ScopeRoot(const Project& project) {
    return ForUser(project) ? "HKCU" : "HKLM";
}

std::string UninstallCommand(const Project& project) {
    return ForUser(project) ? "rundll32.exe %PROGDIR%\\avviora.dll,Disinstalla %PROGDIR%"
                            : "rundll32.exe avviora.dll,Disinstalla %PROGDIR%";
}

std::string ProgDirPlaceholder(const Project& project) {
    return ForUser(project) ? "%LOCALAPPDATA%\\Programs" : "PROGDIR";
}

std::string RuntimeDestinationLine(const Project& project) {
    return ForUser(project) ? "Splash.CopyRD=00,%PROGDIR%" : "Splash.CopyRD=11";
}

std::string UninstallKeyLine(const Project& project) {
    if (!HasPackageKeys(project))
        return "";
    return std::string("UninstallKey=") + ScopeRoot(project) + kUninstallPath + project.Titolo;
}

std::string LongProgDirLine(const Project& project) {
    return HasPackageKeys(project) ? "PROGDIRLONG=PROGDIRLONG" : "";
}

void WriteAppsAndFeaturesValues(ScriptText& out, const Project& p,
                                const std::vector<ScriptFile>& files, const std::string& key) {
    if (!HasPackageKeys(p))
        return;
    if (!p.Versione.empty())
        out.Line(StringValue(key, "DisplayVersion", p.Versione));
    if (!p.Editore.empty())
        out.Line(StringValue(key, "Publisher", InfValue(p.Editore)));
    if (!p.SitoWeb.empty())
        out.Line(StringValue(key, "URLInfoAbout", InfValue(p.SitoWeb)));
    out.Line(StringValue(key, "InstallLocation", "%PROGDIRLONG%"));
    out.Line(StringValue(key, "DisplayIcon", DisplayIcon(p, files)));
    std::uint64_t bytes = 0;
    for (const ScriptFile& file : files)
        bytes += file.size;
    out.Line(NumberValue(key, "EstimatedSize", (bytes + 1023) / 1024));
    out.Line(NumberValue(key, "NoModify", 1));
    out.Line(NumberValue(key, "NoRepair", 1));
}

} // namespace velaset

// The setup script generator: every section and line of both script variants.
#include "builder/script/setup_script.h"

#include "builder/project/line_breaks.h"
#include "builder/project/project_fields.h"
#include "builder/script/destination_code.h"
#include "builder/script/long_name_sections.h"
#include "builder/script/package_registration.h"
#include "builder/script/text_case.h"

namespace velaset {

namespace {

const std::string Quote(Q);
const std::string Q2 = Quote + Quote;
const std::string Q3 = Q2 + Quote;

// The two uninstall keys after their root (the removal key spells SOFTWARE in capitals,
// exactly so).
const char* const UninstallKey = ",Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char* const RemovalKey = ",SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char* const RunKey = "HKLM,Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Flag(int value) {
    return std::to_string(value);
}

// The texts of the setup script as the table of fields carries them: read with the
// profile calls (the [Version] texts), or as INF text.
std::string Profile(const std::string& text) {
    return ProfileLineValue(text);
}
std::string Inf(const char* field, const std::string& text) {
    return InfTextOf(field, text);
}

void WriteHeader(ScriptText& out) {
    out.Line("; NON ELIMINARE QUESTO FILE");
    out.Line("; E' NECESSARIO PER LA DISINSTALLAZIONE");
    out.Line(";");
    out.Line("; Velaset 3.0");
    out.Blank();
}

void WriteVersion(ScriptText& out, const Project& p, ScriptVariant variant) {
    out.Line("[Version]");
    out.Line("Signature=" + Quote + "$CHICAGO$" + Quote);
    out.Line("Caption=" + Profile(p.Caption));
    out.Line("Label1=" + Profile(p.Etic1A));
    out.Line("Label2=" + Profile(EncodeLineBreaks(p.Etic2A)));
    out.Line("Browse=" + Flag(p.ButtonBrowse()));
    if (p.ChkLancio() == 1) {
        out.Line("Run=" + Quote + p.DefCartella + p.DefDir + "\\" + p.Lancio + Quote);
    }
    out.Line("FailureMsg=" + Profile(p.Errore));
    out.Line("StopMsg=" + Profile(p.Stop));
    out.Line("Label3=" + Profile(p.Browse));
    out.Line("AlertMsg=" + Profile(p.Disinstalla));
    out.Line("FinalMsg=" + Flag(p.DlgEnd()));
    if (p.DlgEnd() == 1) {
        out.Line("Title=" + Profile(p.CaptionB));
        out.Line("Message=" + Profile(p.EticB));
    }
    const std::string uninstallKey = UninstallKeyLine(p);
    if (variant == ScriptVariant::Full && !uninstallKey.empty()) {
        out.Line(uninstallKey);
    }
    if (p.Sfondo() == 1) {
        out.Line("Bkg=1");
        out.Blank();
        out.Line("[Background]");
        out.Line("Title=" + Profile(p.TestoSfondo));
    } else {
        out.Line("Bkg=0");
    }
}

// [DefaultInstall] and [DefaultUninstall]: fixed texts; only the CopyFiles line differs.
void WriteInstallSections(ScriptText& out, ScriptVariant variant) {
    out.Blank();
    out.Line("[DefaultInstall]");
    if (variant == ScriptVariant::Full) {
        out.Line("CopyFiles=Splash.CopyFiles,Splash.CopyWin,Splash.CopySys,Splash.CopyHlp,"
                 "Splash.CopyInf,Splash.CopyRD");
    } else {
        out.Line("CopyFiles=Splash.CopyFiles,Splash.CopyWin,Splash.CopySys,Splash.CopyHlp,"
                 "Splash.CopyInf");
    }
    out.Line("UpdateInis=Splash.Links,Splash.Links2");
    out.Line("AddReg=Splash.AddRegEntries,SplashRenameFilesD,SplashRenameFilesW,"
             "SplashRenameFilesS,SplashRenameFilesH,SplashRenameFilesI,SplashRegOther");
    out.Line("Uninstall=DefaultUninstall");
    out.Blank();
    out.Line("[DefaultUninstall]");
    out.Line("AddReg=SplashRemoveLFNsD,SplashRemoveLFNsW,SplashRemoveLFNsS,SplashRemoveLFNsH,"
             "SplashRemoveLFNsI");
    out.Line("DelFiles=Splash.CopyFiles,Splash.CopyWin,Splash.CopySys,Splash.CopyHlp,"
             "Splash.CopyInf");
    out.Line("UpdateInis=Splash.Links.Remove,Splash.Links.Remove2");
    out.Line("DelReg=Splash.DelRegEntries,SplashRemoveLFNsD,SplashRemoveLFNsW,SplashRemoveLFNsS,"
             "SplashRemoveLFNsH,SplashRemoveLFNsI,SplashUnRegOther");
}

void WriteCopySections(ScriptText& out, const std::vector<ScriptFile>& files,
                       ScriptVariant variant) {
    for (const DestinationInfo& info : DestinationCodes()) {
        out.Blank();
        out.Line(std::string("[") + info.copySection + "]");
        for (const ScriptFile& file : files) {
            if (EntryHasCode(file.entry, info.code)) {
                out.Line(file.shortName);
            }
        }
        // The full script installs itself beside the program for the uninstall.
        if (info.code == 'D' && variant == ScriptVariant::Full) {
            out.Line("setup.inf");
        }
    }
}

void WriteSourceSections(ScriptText& out, const Project& p, const std::vector<ScriptFile>& files,
                         ScriptVariant variant) {
    const bool full = variant == ScriptVariant::Full;
    out.Blank();
    if (full) {
        out.Line("[Splash.CopyRD]");
        out.Line("Avviora.dll");
        out.Blank();
    }
    out.Line("[SourceDisksNames]");
    out.Line("42=" + Quote + Inf("Titolo", p.Titolo) + Quote + "," + Q2 + ",1");
    out.Blank();
    out.Line("[SourceDisksFiles]");
    for (const ScriptFile& file : files) {
        out.Line(file.shortName + "=42");
    }
    if (full) {
        out.Line("Avviora.dll=42");
        out.Line("setup.inf=42");
    }
    out.Blank();
    out.Line("[Strings]");
    out.Line("PROGDIR=" + ProgDirPlaceholder(p));
    out.Line("DIRDEF=" + Quote + p.DefDir + Quote);
    if (full && !LongProgDirLine(p).empty()) {
        out.Line(LongProgDirLine(p));
    }
    out.Blank();
    out.Line("[DestinationDirs]");
    for (const DestinationInfo& info : DestinationCodes()) {
        out.Line(info.destDirsLine);
    }
    if (full) {
        out.Line(RuntimeDestinationLine(p));
    }
}

void WriteUninstallRegistry(ScriptText& out, const Project& p,
                            const std::vector<ScriptFile>& files) {
    const std::string key = ScopeRoot(p) + std::string(UninstallKey) + Inf("Titolo", p.Titolo);
    const std::string removal = ScopeRoot(p) + std::string(RemovalKey) + Inf("Titolo", p.Titolo);
    const std::string label = Quote + Inf("LabelControl", p.LabelControl) + Quote;
    const std::string command = Quote + UninstallCommand(p) + Quote;
    out.Blank();
    out.Line("[Splash.AddRegEntries]");
    out.Line(key + "," + Quote + "DisplayName" + Quote + ", ," + label);
    out.Line(key + "," + Quote + "UninstallString" + Quote + ", ," + command);
    WriteAppsAndFeaturesValues(out, p, files, key);
    out.Blank();
    out.Line("[Splash.DelRegEntries]");
    out.Line(removal);
    out.Line(removal + ",DisplayName, ," + label);
    out.Line(removal + ",UninstallString, ," + command);
}

// The line that makes one link: its name twice, as the item's title and after the commas.
// The runtime takes a link's program up to its first blank unless it stands within quotes,
// so the program of a file whose name holds a blank is quoted: three quotes on each side
// in the line, which its two readings (the line's fields, then the item's) bring to one.
std::string LinkLine(const std::string& prefix, const LinkEntry& link) {
    const std::string name = Inf("Link nome", link.name);
    const std::string quotes = link.file.find(' ') == std::string::npos ? Q2 : Q3 + Q3;
    return prefix + Q3 + name + Q2 + ", " + quotes + "%PROGDIR%\\" +
           Inf("Link file", link.file) + quotes + ",,, " + name + "," + Quote + "%PROGDIR%" + Q2;
}

bool HasDesktopLink(const Project& p) {
    for (const LinkEntry& link : p.Links()) {
        if (link.location == "D") {
            return true;
        }
    }
    return false;
}

const std::string DesktopGroupLine =
    "setup.ini, progman.groups,, " + Quote + "group2=" + Q2 + "..\\..\\Desktop" + Q3;

void WriteLinkSections(ScriptText& out, const Project& p) {
    const bool group = p.Gruppo() == 1;
    const bool uninstallLink = p.Uninstall() == 1;
    const bool desktop = HasDesktopLink(p);

    out.Blank();
    out.Line("[Splash.Links]");
    if (group) {
        out.Line("setup.ini , progman.groups, ," + Quote + "group42=" + p.NomeGruppo + Quote);
        for (const LinkEntry& link : p.Links()) {
            if (link.location == "P") {
                out.Line(LinkLine("setup.ini , group42, , ", link));
            }
        }
        if (uninstallLink) {
            out.Line("setup.ini, group42,," + Q3 + Inf("UninstallString", p.UninstallString) + Q2 +
                     "," + Q2 + UninstallCommand(p) + Q2 + "," + Q2 + "%11%\\shell32.dll" + Q2 +
                     ",31," + p.NomeGruppo + Quote);
        }
    }

    out.Blank();
    out.Line("[Splash.Links2]");
    if (desktop) {
        out.Line(DesktopGroupLine);
        for (const LinkEntry& link : p.Links()) {
            if (link.location == "D") {
                out.Line(LinkLine("setup.ini , group2, , ", link));
            }
        }
    }

    out.Blank();
    out.Line("[Splash.Links.Remove]");
    if (group) {
        out.Line("setup.ini , progman.groups, , " + Quote + "group42=" + p.NomeGruppo + Quote);
        for (const LinkEntry& link : p.Links()) {
            if (link.location == "P") {
                out.Line("setup.ini , group42, , " + Q3 + Inf("Link nome", link.name) + Q2);
            }
        }
        if (uninstallLink) {
            out.Line("setup.ini, group42,," + Q2 + Inf("UninstallString", p.UninstallString) + Q2);
        }
    }

    out.Blank();
    out.Line("[Splash.Links.Remove2]");
    if (desktop) {
        out.Line(DesktopGroupLine);
        for (const LinkEntry& link : p.Links()) {
            if (link.location == "D") {
                out.Line("setup.ini , group2, , " + Q3 + Inf("Link nome", link.name) + Q2 + ", " +
                         Q2);
            }
        }
        out.Blank();
    }
}

void WriteRegistrySections(ScriptText& out, const Project& p, ScriptVariant variant) {
    if (p.RegistryEntries().empty()) {
        return;
    }
    out.Blank();
    out.Line("[SplashRegOther]");
    for (const std::string& entry : p.RegistryEntries()) {
        out.Line(RegistryEntryForScript(entry));
    }
    if (variant != ScriptVariant::Full) {
        return;
    }
    out.Blank();
    out.Line("[SplashUnRegOther]");
    for (const std::string& entry : p.RegistryEntries()) {
        const std::string rootAndKey = GetField(entry, ',', 1) + "," + GetField(entry, ',', 2);
        // Uninstall removes a value under the Run key, never the Run key itself.
        if (AsciiUpper(rootAndKey) != AsciiUpper(RunKey)) {
            out.Line(RegistryEntryForScript(rootAndKey));
        }
        out.Line(RegistryEntryForScript(entry));
    }
}

void WriteSelfRegisterSection(ScriptText& out, const std::vector<ScriptFile>& files, char code,
                              const char* header) {
    int count = 0;
    for (const ScriptFile& file : files) {
        if (EntryHasCode(file.entry, code) && HasSelfRegisterMark(file.entry)) {
            ++count;
        }
    }
    out.Blank();
    out.Line(header);
    out.Line("Nb=" + std::to_string(count));
    int k = 1;
    for (const ScriptFile& file : files) {
        if (EntryHasCode(file.entry, code) && HasSelfRegisterMark(file.entry)) {
            out.Line("DLL_" + std::to_string(k) + "=" + Profile(file.fileName));
            ++k;
        }
    }
}

} // namespace

std::string RegistryEntryForScript(const std::string& entry) {
    const std::string root = GetField(entry, ',', 1);
    if (root == "HCU") {
        return "HKU" + entry.substr(root.size());
    }
    return entry;
}

std::string SetupScriptText(const Project& p, const std::vector<ScriptFile>& files,
                            ScriptVariant variant) {
    ScriptText out;
    out.Reserve(4096 + files.size() * 64);
    WriteHeader(out);
    WriteVersion(out, p, variant);
    WriteInstallSections(out, variant);
    WriteCopySections(out, files, variant);
    WriteSourceSections(out, p, files, variant);
    for (const DestinationInfo& info : DestinationCodes()) {
        SezioniNomiLunghi(out, files, info.code, ScopeRoot(p));
    }
    if (variant == ScriptVariant::Full) {
        WriteUninstallRegistry(out, p, files);
        WriteLinkSections(out, p);
    }
    WriteRegistrySections(out, p, variant);
    WriteSelfRegisterSection(out, files, 'D', "[SelfRegisterP]");
    WriteSelfRegisterSection(out, files, 'S', "[SelfRegisterS]");
    return out.Text();
}

} // namespace velaset

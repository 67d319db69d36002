// Fuzzes the road from a project file that came from anyone to its setup script: any
// bytes as the .mip file (the first byte also chooses a volume with or without 8.3
// names), loaded, then written in both variants. Where the load and the writer take the
// project, every line of the script must stand in the section the writer meant, in the
// shape it meant: the sections are the writer's own, in its order, each with the number
// of lines the project gives it; file names are 8.3 names; every registry line has the
// five fields of an AddReg line (root, key, name, empty flags, value) and a root that
// the system knows; every link line carries one item of six parts. The texts that the
// installer stub reads (the [Version] texts with the line breaks of Label2 as the pilcrow
// sign, Run, [Strings] DIRDEF, the installed version's key) read back, through the
// profile functions the stub uses, as the project holds them.
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/project/line_breaks.h"
#include "builder/project/package_keys.h"
#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "builder/script/destination_code.h"
#include "builder/script/long_name_sections.h"
#include "builder/script/script_file.h"
#include "platform/profile_file.h"
#include "platform/short_name_rule.h"
#include "platform/text_encoding.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::Fail;
using velaset::Project;

namespace {

// The fields of one INF line as the setup engine reads it: commas split it outside
// quotes, a quote opens and closes a quoted text ("" inside one is a quote), a semicolon
// outside quotes starts a comment (when comments count). *commented tells whether a
// comment cut the line.
std::vector<std::string> InfFields(const std::string& line, bool* commented, bool comments = true) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    *commented = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c == ';' && !quoted && comments) {
            *commented = true;
            break;
        } else {
            fields.back() += c;
        }
    }
    for (std::string& f : fields)
        f = fuzz::Trim(f, " ");
    return fields;
}

struct Section {
    std::string name;
    std::vector<std::string> lines; // blank lines left out
};

// The sections of the script in order; the lines before the first are the header.
std::vector<Section> Sections(const std::string& text) {
    std::vector<Section> sections(1);
    for (const std::string& line : fuzz::ScriptLines(text)) {
        if (!line.empty() && line.front() == '[') {
            if (line.back() != ']')
                Fail("a line that opens a section and does not close it: " + line + "\n" + text);
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!line.empty()) {
            sections.back().lines.push_back(line);
        }
    }
    return sections;
}

// The sections the writer makes for p, in its order, each with its number of lines.
std::vector<std::pair<std::string, size_t>>
ExpectedSections(const Project& p, const std::vector<velaset::ScriptFile>& files, bool full) {
    std::vector<std::pair<std::string, size_t>> want;
    size_t version = 11 + (p.ChkLancio() == 1) + 2 * (p.DlgEnd() == 1);
    want.push_back({"Version", version});
    if (p.Sfondo() == 1)
        want.push_back({"Background", 1});
    want.push_back({"DefaultInstall", 4});
    want.push_back({"DefaultUninstall", 4});
    auto count = [&files](char code, bool registered, bool longName) {
        size_t n = 0;
        for (const auto& f : files)
            n += velaset::EntryHasCode(f.entry, code) &&
                 (!registered || velaset::HasSelfRegisterMark(f.entry)) &&
                 (!longName || velaset::HasLongName(f));
        return n;
    };
    for (const auto& info : velaset::DestinationCodes())
        want.push_back(
            {info.copySection, count(info.code, false, false) + (full && info.code == 'D')});
    if (full)
        want.push_back({"Splash.CopyRD", 1});
    want.push_back({"SourceDisksNames", 1});
    want.push_back({"SourceDisksFiles", files.size() + (full ? 2 : 0)});
    want.push_back({"Strings", 2});
    want.push_back({"DestinationDirs", 5 + (full ? 1 : 0)});
    for (const auto& info : velaset::DestinationCodes()) {
        if (count(info.code, false, false) == 0)
            continue;
        const size_t longNames = count(info.code, false, true);
        const size_t lines = longNames == 0 ? 0 : 1 + longNames;
        want.push_back({std::string("SplashRenameFiles") + info.code, lines});
        want.push_back({std::string("SplashRemoveLFNs") + info.code, lines});
    }
    if (full) {
        want.push_back({"Splash.AddRegEntries", 2});
        want.push_back({"Splash.DelRegEntries", 3});
        size_t program = 0, desktop = 0;
        for (const auto& link : p.Links())
            (link.location == "P" ? program : desktop) += 1;
        const bool group = p.Gruppo() == 1;
        const size_t uninstall = group && p.Uninstall() == 1;
        want.push_back({"Splash.Links", group ? 1 + program + uninstall : 0});
        want.push_back({"Splash.Links2", desktop == 0 ? 0 : 1 + desktop});
        want.push_back({"Splash.Links.Remove", group ? 1 + program + uninstall : 0});
        want.push_back({"Splash.Links.Remove2", desktop == 0 ? 0 : 1 + desktop});
    }
    if (!p.RegistryEntries().empty()) {
        want.push_back({"SplashRegOther", p.RegistryEntries().size()});
        if (full) {
            size_t lines = 0;
            for (const std::string& entry : p.RegistryEntries()) {
                std::string rootAndKey =
                    velaset::GetField(entry, ',', 1) + "," + velaset::GetField(entry, ',', 2);
                for (char& c : rootAndKey)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                // Uninstall leaves the Run key itself, in any letter case.
                lines +=
                    1 + (rootAndKey != "HKLM,SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN");
            }
            want.push_back({"SplashUnRegOther", lines});
        }
    }
    want.push_back({"SelfRegisterP", 1 + count('D', true, false)});
    want.push_back({"SelfRegisterS", 1 + count('S', true, false)});
    return want;
}

bool IsRoot(const std::string& root) {
    return root == "HKCR" || root == "HKCU" || root == "HKLM" || root == "HKU";
}

// What is wrong with a line of the section, or nullptr.
const char* LineFault(const std::string& section, const std::string& line) {
    bool commented = false;
    const std::vector<std::string> f = InfFields(line, &commented);
    if (section.rfind("Splash.Copy", 0) == 0 && !platform::IsShortName(line))
        return "names a file by no 8.3 name";
    if (section == "SourceDisksFiles" &&
        (line.size() < 4 || line.compare(line.size() - 3, 3, "=42") != 0 ||
         !platform::IsShortName(line.substr(0, line.size() - 3))))
        return "line out of shape";
    if (section == "SplashRegOther" &&
        (commented || f.size() != 5 || !IsRoot(f[0]) || f[1].empty() || !f[3].empty()))
        return "line out of the AddReg shape";
    if (section == "SplashUnRegOther" &&
        (commented || (f.size() != 5 && f.size() != 2) || !IsRoot(f[0]) || f[1].empty()))
        return "line out of the DelReg shape";
    if (section.rfind("Splash.Links", 0) != 0)
        return nullptr;
    if (line.rfind("setup.ini", 0) != 0 || commented || f.size() != 4)
        return "line out of shape";
    const bool itemLine = f[1] != "progman.groups" && section.find("Remove") == std::string::npos &&
                          f[3].find("%PROGDIR%\\") != std::string::npos &&
                          f[3].find("shell32.dll") == std::string::npos;
    if (itemLine && InfFields(f[3], &commented, false).size() != 6)
        return "link item out of shape";
    return nullptr;
}

void CheckScript(const Project& p, bool full, const std::string& text) {
    auto fail = [&text](const std::string& what) { Fail(what + "\n" + text); };
    std::vector<velaset::ScriptFile> files;
    if (!velaset::ResolveScriptFiles(p, &files))
        fail("the files of a written script no longer resolve");
    const std::vector<Section> sections = Sections(text);
    const auto want = ExpectedSections(p, files, full);
    if (sections.size() != want.size() + 1)
        fail(std::to_string(sections.size() - 1) + " sections, where the writer meant " +
             std::to_string(want.size()));
    for (const std::string& line : sections[0].lines)
        if (line.front() != ';')
            fail("a line before the first section: " + line);
    for (size_t i = 0; i < want.size(); ++i) {
        const Section& s = sections[i + 1];
        if (s.name != want[i].first || s.lines.size() != want[i].second)
            fail("[" + s.name + "] with " + std::to_string(s.lines.size()) +
                 " lines, where the writer meant [" + want[i].first + "] with " +
                 std::to_string(want[i].second));
        for (const std::string& line : s.lines)
            if (const char* fault = LineFault(s.name, line))
                fail("[" + s.name + "] " + fault + ": " + line);
    }
}

// A text that the profile dialect gives back unchanged.
bool ReadsBackAsIs(const std::string& v) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return v.empty() || (!blank(v.front()) && !blank(v.back()) && !fuzz::Quoted(v));
}

// What the installer stub reads from the script: plain values when the dialect gives
// them back unchanged, quoted ones always (blanks at their ends included), and the key by
// which the installer finds an installed version.
void CheckReadBack(const Project& p, bool full, const std::string& bytes) {
    const std::string script = fuzz::WriteFixtureFile("setup.inf", bytes.data(), bytes.size());
    const bool dlgEnd = p.DlgEnd() == 1;
    const std::string key =
        full && velaset::HasPackageKeys(p)
            ? std::string(p.Ambito == velaset::Scope::User ? "HKCU" : "HKLM") +
                  ",Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + p.Titolo
            : "";
    const std::string label2 = velaset::EncodeLineBreaks(p.Etic2A);
    const struct {
        const char* section;
        const char* key;
        std::string text; // in UTF-8
        bool checked;
        const char* absent; // what reads back when the key is missing
    } reads[] = {
        {"Version", "Caption", p.Caption, ReadsBackAsIs(p.Caption), "\x01"},
        {"Version", "Label1", p.Etic1A, ReadsBackAsIs(p.Etic1A), "\x01"},
        {"Version", "Label2", label2, ReadsBackAsIs(label2), "\x01"},
        {"Version", "FailureMsg", p.Errore, ReadsBackAsIs(p.Errore), "\x01"},
        {"Version", "StopMsg", p.Stop, ReadsBackAsIs(p.Stop), "\x01"},
        {"Version", "Label3", p.Browse, ReadsBackAsIs(p.Browse), "\x01"},
        {"Version", "AlertMsg", p.Disinstalla, ReadsBackAsIs(p.Disinstalla), "\x01"},
        {"Version", "Title", p.CaptionB, dlgEnd && ReadsBackAsIs(p.CaptionB), "\x01"},
        {"Version", "Message", p.EticB, dlgEnd && ReadsBackAsIs(p.EticB), "\x01"},
        {"Background", "Title", p.TestoSfondo, p.Sfondo() == 1 && ReadsBackAsIs(p.TestoSfondo),
         "\x01"},
        {"Version", "Run", p.DefCartella + p.DefDir + "\\" + p.Lancio, p.ChkLancio() == 1, ""},
        {"Strings", "DIRDEF", p.DefDir, true, "\x01"},
        {"Version", "UninstallKey", key, ReadsBackAsIs(p.Titolo), ""},
        {"Version", "Browse", std::to_string(p.ButtonBrowse()), true, ""},
    };
    for (const auto& r : reads) {
        std::string ansi;
        platform::Utf8ToWindows1252(r.text, &ansi);
        const std::string back =
            platform::ReadProfileValue(script, r.section, r.key, r.absent, 4096);
        if (r.checked && back != ansi)
            Fail(std::string("[") + r.section + "] " + r.key + " reads back as <" + back +
                 "> for <" + ansi + ">");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool shortNames = (data[0] & 1) == 0;
    if (shortNames)
        unsetenv("VELASET_NO_SHORT_NAMES");
    else
        setenv("VELASET_NO_SHORT_NAMES", "1", 1);
    Project project;
    project.ProgFile = fuzz::WriteFixtureFile("fuzz.mip", data + 1, size - 1);
    fuzz::InFixture inFixture;
    if (!velaset::LoadProject(&project, fuzz::FixtureFolder()))
        return 0;
    // The model knows the sections of a project without package keys; the lines those
    // keys add are held by the golden scripts and the installation cases.
    if (velaset::HasPackageKeys(project))
        return 0;
    for (bool full : {true, false}) {
        std::string bytes;
        const platform::Status built = velaset::BuildSetupScript(
            project, full ? velaset::ScriptVariant::Full : velaset::ScriptVariant::DistributionOnly,
            &bytes);
        if (!built) {
            if (built.message.empty())
                Fail("a refusal without a message");
            continue;
        }
        CheckScript(project, full, bytes);
        CheckReadBack(project, full, bytes);
    }
    return 0;
}

// Fuzzes the road from a project file that came from anyone to its setup script: any
// bytes as the .mip file (the first byte also chooses a volume with or without 8.3
// names), loaded, then written in both variants. Where the load and the writer take the
// project, every line of the script must stand in the section the writer meant, in the
// shape it meant: the sections are the writer's own, in its order, each with the number
// of lines the project gives it; file names are 8.3 names; every registry line has the
// five fields of an AddReg line (root, key, name, empty flags, value) and a root that
// the system knows; every link line carries one item of six parts.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "builder/script/destination_code.h"
#include "builder/script/long_name_sections.h"
#include "builder/script/script_file.h"
#include "platform/short_name_rule.h"
#include "tests/fuzz/fixture_folder.h"

using velaset::Project;

namespace {

void Fail(const std::string& what, const std::string& script = "") {
    std::fprintf(stderr, "fuzz_script_sections: %s\n%s\n", what.c_str(), script.c_str());
    std::abort();
}

// The fields of one INF line as the setup engine reads it: commas split it outside
// quotes, a quote opens and closes a quoted text ("" inside one is a quote), a semicolon
// outside quotes starts a comment (when comments count). *commented tells whether a
// comment cut the line.
std::vector<std::string> InfFields(const std::string& line, bool* commented,
                                   bool comments = true) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    *commented = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == ';' && comments) {
            *commented = true;
            break;
        } else {
            fields.back() += c;
        }
    }
    for (std::string& f : fields) {
        while (!f.empty() && f.front() == ' ')
            f.erase(f.begin());
        while (!f.empty() && f.back() == ' ')
            f.pop_back();
    }
    return fields;
}

struct Section {
    std::string name;
    std::vector<std::string> lines; // blank lines left out
};

// The sections of the script in order; the lines before the first are the header.
std::vector<Section> Sections(const std::string& text) {
    std::vector<Section> sections(1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line.front() == '[') {
            if (line.back() != ']')
                Fail("a line that opens a section and does not close it: " + line, text);
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!line.empty()) {
            sections.back().lines.push_back(line);
        }
    }
    return sections;
}

// The sections the writer makes for p, in its order, each with its number of lines.
std::vector<std::pair<std::string, size_t>> ExpectedSections(
    const Project& p, const std::vector<velaset::ScriptFile>& files, bool full) {
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
        want.push_back({info.copySection, count(info.code, false, false) +
                                              (full && info.code == 'D')});
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
                lines += 1 + (rootAndKey != "HKLM,SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN");
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

void CheckScript(const Project& p, bool full, const std::string& text) {
    std::vector<velaset::ScriptFile> files;
    if (!velaset::ResolveScriptFiles(p, &files))
        Fail("the files of a written script no longer resolve");
    const std::vector<Section> sections = Sections(text);
    const auto want = ExpectedSections(p, files, full);
    if (sections.size() != want.size() + 1)
        Fail("the script has " + std::to_string(sections.size() - 1) + " sections, the writer " +
                 "meant " + std::to_string(want.size()),
             text);
    for (const std::string& line : sections[0].lines)
        if (line.front() != ';')
            Fail("a line before the first section: " + line, text);
    for (size_t i = 0; i < want.size(); ++i) {
        const Section& s = sections[i + 1];
        if (s.name != want[i].first)
            Fail("section " + s.name + " where the writer meant " + want[i].first, text);
        if (s.lines.size() != want[i].second)
            Fail("[" + s.name + "] has " + std::to_string(s.lines.size()) + " lines, the writer " +
                     "meant " + std::to_string(want[i].second),
                 text);
        const bool copy = s.name.rfind("Splash.Copy", 0) == 0;
        for (const std::string& line : s.lines) {
            bool commented = false;
            const std::vector<std::string> fields = InfFields(line, &commented);
            if (copy && !platform::IsShortName(line))
                Fail("[" + s.name + "] names a file by no 8.3 name: " + line, text);
            if (s.name == "SourceDisksFiles" &&
                (line.size() < 4 || line.compare(line.size() - 3, 3, "=42") != 0 ||
                 !platform::IsShortName(line.substr(0, line.size() - 3))))
                Fail("[SourceDisksFiles] line out of shape: " + line, text);
            if (s.name == "SplashRegOther" &&
                (commented || fields.size() != 5 || !IsRoot(fields[0]) || fields[1].empty() ||
                 !fields[3].empty()))
                Fail("[SplashRegOther] line out of the AddReg shape: " + line, text);
            if (s.name == "SplashUnRegOther" &&
                (commented || (fields.size() != 5 && fields.size() != 2) || !IsRoot(fields[0]) ||
                 fields[1].empty()))
                Fail("[SplashUnRegOther] line out of the DelReg shape: " + line, text);
            if (s.name.rfind("Splash.Links", 0) == 0) {
                if (line.rfind("setup.ini", 0) != 0 || commented)
                    Fail("[" + s.name + "] line out of shape: " + line, text);
                const std::string item = fields.size() == 4 ? fields[3] : "";
                const bool itemLine = fields.size() == 4 && fields[1] != "progman.groups" &&
                                      s.name.find("Remove") == std::string::npos &&
                                      item.find("%PROGDIR%\\") != std::string::npos &&
                                      item.find("shell32.dll") == std::string::npos;
                if (fields.size() != 4)
                    Fail("[" + s.name + "] line with " + std::to_string(fields.size()) +
                             " fields: " + line,
                         text);
                if (itemLine && InfFields(item, &commented, false).size() != 6)
                    Fail("[" + s.name + "] link item out of shape: " + line, text);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool shortNames = (data[0] & 1) == 0;
    const std::string& folder = fuzz::FixtureFolder();
    fuzz::WriteFixtureFile("fuzz.mip", data + 1, size - 1);
    if (shortNames)
        unsetenv("VELASET_NO_SHORT_NAMES");
    else
        setenv("VELASET_NO_SHORT_NAMES", "1", 1);
    Project project;
    project.ProgFile = folder + "/fuzz.mip";
    fuzz::InFixture inFixture;
    if (!velaset::LoadProject(&project, folder))
        return 0;
    for (bool full : {true, false}) {
        std::string bytes;
        const platform::Status built = velaset::BuildSetupScript(
            project,
            full ? velaset::ScriptVariant::Full : velaset::ScriptVariant::DistributionOnly,
            &bytes);
        if (!built) {
            if (built.message.empty())
                Fail("a refusal without a message");
            continue;
        }
        CheckScript(project, full, bytes);
    }
    return 0;
}

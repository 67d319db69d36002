// Every door of the command line against generated hostile values for every field:
// each command either refuses (exit code 2, a message that names the field, the project
// file byte for byte as it was) or accepts, and then the project loads and builds, and
// setup.inf, read back by a small reader of its own that reads each line as the
// installer does, gives the value back.
#ifndef _WIN32
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "platform/file_access.h"
#include "platform/text_encoding.h"
#include "tests/cli/command_run.h"
#include "tests/package/fake_stub.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::CommandRun;
using velaset_test::ScratchFolder;
using Args = std::vector<std::string>;

// --- The reader ------------------------------------------------------------------------

// setup.inf as its readers see it: the installer's profile calls ([Version] and the
// like) and INF lines split into fields (the setup engine, the runtime).
class InfReader {
  public:
    explicit InfReader(const std::string& bytes) {
        const std::string text = platform::Windows1252ToUtf8(bytes);
        std::string section;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find("\r\n", start);
            const std::string line = text.substr(start, end - start);
            start = end == std::string::npos ? text.size() : end + 2;
            if (!line.empty() && line[0] == '[')
                section = Upper(line.substr(1, line.find(']') - 1));
            else if (!line.empty())
                lines_[section].push_back(line);
        }
    }

    const std::vector<std::string>& Lines(const std::string& section) const {
        static const std::vector<std::string> none;
        auto found = lines_.find(Upper(section));
        return found == lines_.end() ? none : found->second;
    }

    // A value as GetPrivateProfileString gives it: blanks round it dropped, then one
    // pair of enclosing quotes.
    std::string Profile(const std::string& section, const std::string& key) const {
        for (const std::string& line : Lines(section)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos || Upper(Trim(line.substr(0, eq))) != Upper(key))
                continue;
            std::string value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            return value;
        }
        return "<absent>";
    }

    // The fields of an INF line: commas outside quotes part them, quotes go, "" within
    // quotes is one quote, blanks round a field go, a semicolon outside quotes ends it.
    static std::vector<std::string> Fields(const std::string& line) {
        std::vector<std::string> fields(1);
        bool quoted = false;
        size_t kept = 0; // the length of the current field without its trailing blanks
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            std::string& field = fields.back();
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                kept = field.size();
            } else if (!quoted && (c == ',' || c == ';')) {
                field.resize(kept);
                if (c == ';')
                    return fields;
                fields.emplace_back();
                kept = 0;
            } else if (!quoted && (c == ' ' || c == '\t') && field.empty()) {
                // a blank before the field
            } else {
                field += c;
                if (quoted || (c != ' ' && c != '\t'))
                    kept = field.size();
            }
        }
        fields.back().resize(kept);
        return fields;
    }

    // "%%" as "%", "%KEY%" by [Strings] where the key is there.
    std::string Expand(const std::string& text) const {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
            if (close == std::string::npos) {
                out += text[i];
                continue;
            }
            const std::string key = text.substr(i + 1, close - i - 1);
            const std::string value = key.empty() ? "%" : Profile("Strings", key);
            if (value == "<absent>") {
                out += text[i];
                continue;
            }
            out += value;
            i = close;
        }
        return out;
    }

  private:
    static std::string Upper(std::string text) {
        for (char& c : text)
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        return text;
    }
    static std::string Trim(const std::string& text) {
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos)
            return "";
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }

    std::map<std::string, std::vector<std::string>> lines_;
};

// The line of a section whose fields start as given ("" matches any field).
std::vector<std::string> LineStarting(const InfReader& inf, const std::string& section,
                                      const std::vector<std::string>& start) {
    for (const std::string& line : inf.Lines(section)) {
        std::vector<std::string> fields = InfReader::Fields(line);
        bool match = fields.size() >= start.size();
        for (size_t i = 0; match && i < start.size(); ++i)
            match = start[i].empty() || fields[i] == start[i];
        if (match)
            return fields;
    }
    return {};
}

// A link's title, as the runtime reads the fourth field of its line.
std::string LinkTitle(const InfReader& inf, const std::string& group, size_t nth) {
    size_t seen = 0;
    for (const std::string& line : inf.Lines("Splash.Links")) {
        std::vector<std::string> fields = InfReader::Fields(line);
        if (fields.size() >= 4 && fields[1] == group && seen++ == nth)
            return inf.Expand(InfReader::Fields(fields[3])[0]);
    }
    return "<absent>";
}

// --- The generator -------------------------------------------------------------------------

// Values every field meets: the separators, quotes, percent signs, semicolons, reserved
// names, dots and blanks at the ends, long texts, line breaks and characters that
// Windows-1252 has not; then texts drawn from every Windows-1252 character.
std::vector<std::string> HostileValues(unsigned seed, int drawn) {
    std::vector<std::string> values = {
        "Demo", "100% pronto", "%PROGDIR%", "a%%b", "Uno, due", "Uno; due", "\"citato\"",
        "'citato'", " avanti", "dietro ", "punto.", "CON", "nul.txt", "Com1.log", "a\\b", "a/b",
        "a:b", "x|y*?", "<b>", "tab\t", "riga\nriga", "\xc2\xb6", "\xce\xa9mega",
        "\xc3\xa9\xe2\x82\xac\xc5\xb8\xc3\xbf\xc5\xa0", std::string(60, 'L'),
        std::string(300, 'x'), ""};
    unsigned state = seed;
    for (int n = 0; n < drawn; ++n) {
        std::string bytes;
        state = state * 1103515245u + 12345u;
        const int length = 1 + static_cast<int>((state >> 16) % 24);
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            char byte = static_cast<char>((state >> 16) & 0xFF);
            bytes += byte == 0 ? '%' : byte;
        }
        values.push_back(platform::Windows1252ToUtf8(bytes));
    }
    return values;
}

std::string SwapCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return text;
}

// --- The doors -------------------------------------------------------------------------

struct Step {
    Args args;        // after "velaset"; "@" stands for the project file
    const char* word; // what the refusal of this step names (one of "|"-separated words)
};

using Places = std::vector<std::pair<std::string, std::string>>;
using ReadBack = std::function<Places(const InfReader& inf, const std::string& value)>;

struct Door {
    const char* name;
    std::function<std::vector<Step>(const std::string& value, ScratchFolder& folder)> steps;
    // Each place of setup.inf that holds the value, as read back, and the value expected
    // there.
    ReadBack readBack;
};

Places Same(const std::string& read, const std::string& value) {
    return {{read, value}};
}

// The door "set [SETTINGS...] KEY=value", whose refusal names KEY.
Door SetDoor(const char* key, ReadBack readBack, std::vector<std::string> settings = {}) {
    return {key,
            [key, settings](const std::string& v, ScratchFolder&) {
                Args args = {"set", "@"};
                args.insert(args.end(), settings.begin(), settings.end());
                args.push_back(key + ("=" + v));
                return std::vector<Step>{{args, key}};
            },
            std::move(readBack)};
}

// The value as the installer's profile call reads [section] key.
ReadBack Profiled(const char* section, const char* key) {
    return [section, key](const InfReader& inf, const std::string& v) {
        return Same(inf.Profile(section, key), v);
    };
}

// The title of the second link of the group (after App), as the runtime reads it.
Places SecondLinkTitle(const InfReader& inf, const std::string& v) {
    return Same(LinkTitle(inf, "group42", 1), v);
}

// A file named value in a folder of its own; empty when POSIX cannot name one so.
std::string FileNamed(const std::string& value, ScratchFolder& folder, const char* sub) {
    if (value.empty() || value.find('/') != std::string::npos || value == "." || value == "..")
        return "";
    const std::string file = folder.WriteFile(std::string(sub) + "/" + value, "contenuto");
    return platform::IsReadableFile(file) ? file : ""; // longer than POSIX allows
}

// Line breaks as the command line gives them to Etic2A: each one CR LF.
std::string Crlf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' || text[i] == '\n' ? std::string("\r\n") : std::string(1, text[i]);
    }
    return out;
}

const Door kDoors[] = {
    {"Titolo",
     [](const std::string& v, ScratchFolder&) {
         return std::vector<Step>{
             {{"set", "@", "Titolo=" + v},
              "Titolo|Caption|Etic1A|Etic2A|NomeGruppo|CaptionB|EticB|LabelControl"}};
     },
     [](const InfReader& inf, const std::string& v) {
         auto key = LineStarting(inf, "Splash.AddRegEntries", {"HKLM", "", "DisplayName"});
         return Places{
             {inf.Expand(InfReader::Fields(inf.Lines("SourceDisksNames")[0].substr(3))[0]), v},
             {key.size() > 1 ? inf.Expand(key[1]) : "<absent>",
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + v}};
     }},
    SetDoor("Caption", Profiled("Version", "Caption")),
    SetDoor("Etic2A",
            [](const InfReader& inf, const std::string& v) {
                std::string read = inf.Profile("Version", "Label2");
                for (size_t mark; (mark = read.find("\xc2\xb6")) != std::string::npos;)
                    read.replace(mark, 2, "\r\n");
                return Same(read, Crlf(v));
            }),
    SetDoor("DefDir", Profiled("Strings", "DIRDEF")),
    SetDoor("NomeGruppo",
            [](const InfReader& inf, const std::string& v) {
                auto group = LineStarting(inf, "Splash.Links", {"setup.ini", "progman.groups"});
                const std::string entry = group.size() > 3 ? group[3] : "=<absent>";
                // The runtime takes the name after "=" as the first field of its own.
                return Same(InfReader::Fields(entry.substr(entry.find('=') + 1))[0], v);
            }),
    SetDoor("CaptionB", Profiled("Version", "Title")),
    SetDoor("LabelControl",
            [](const InfReader& inf, const std::string& v) {
                auto line = LineStarting(inf, "Splash.AddRegEntries", {"HKLM", "", "DisplayName"});
                return Same(line.size() > 4 ? inf.Expand(line[4]) : "<absent>", v);
            }),
    SetDoor("UninstallString", SecondLinkTitle, {"Uninstall=1"}),
    SetDoor("TestoSfondo", Profiled("Background", "Title"), {"Sfondo=1"}),
    {"Errore",
     [](const std::string& v, ScratchFolder&) {
         return std::vector<Step>{{{"msg", "@", "Errore", v}, "Errore|testo"}};
     },
     Profiled("Version", "FailureMsg")},
    {"Disinstalla",
     [](const std::string& v, ScratchFolder&) {
         return std::vector<Step>{{{"msg", "@", "Disinstalla", v}, "Disinstalla|testo"}};
     },
     Profiled("Version", "AlertMsg")},
    {"Link nome",
     [](const std::string& v, ScratchFolder&) {
         return std::vector<Step>{{{"link", "@", "add", "app.exe", v, "P"}, "collegamento|voci"}};
     },
     SecondLinkTitle},
    {"Chiavi",
     [](const std::string& v, ScratchFolder&) {
         return std::vector<Step>{
             {{"reg", "@", "add", "HKLM", "Software\\" + v, v, v}, "sottochiave|nome|valore"}};
     },
     [](const InfReader& inf, const std::string& v) {
         auto line = LineStarting(inf, "SplashRegOther", {"HKLM"});
         line.resize(5, "<absent>");
         // An INF expression of the author's: as written.
         return Places{{line[1], "Software\\" + v}, {line[2], v}, {line[4], v}};
     }},
    // A file of that name: added, linked and started at the end.
    {"file",
     [](const std::string& v, ScratchFolder& folder) {
         const std::string file = FileNamed(v, folder, "nomi");
         if (file.empty())
             return std::vector<Step>();
         return std::vector<Step>{{{"add", "@", file}, "nome"},
                                  {{"link", "@", "add", v, "Collegamento", "D"}, "collegamento"},
                                  {{"set", "@", "ChkLancio=1", "Lancio=" + v}, "Lancio"}};
     },
     [](const InfReader& inf, const std::string& v) {
         // The file stands under its short name; a long name comes back with the
         // long-name section (setup engine) and goes with the runtime's.
         const std::string shortName = inf.Lines("Splash.CopyFiles")[1];
         std::string name = shortName;
         auto renamed = LineStarting(inf, "SplashRenameFilesD", {"HKLM", "", shortName});
         if (renamed.size() > 4)
             name = inf.Expand(renamed[4]);
         auto removed = LineStarting(inf, "SplashRemoveLFNsD", {"HKLM", "", shortName});
         // The program of the link, as the runtime takes it from the item's command: up
         // to its closing quote, or to its first blank.
         const std::string link = [&] {
             for (const std::string& line : inf.Lines("Splash.Links2")) {
                 auto fields = InfReader::Fields(line);
                 if (fields.size() <= 3 || fields[1] != "group2")
                     continue;
                 const std::string command = inf.Expand(InfReader::Fields(fields[3])[1]);
                 if (!command.empty() && command[0] == '"')
                     return command.substr(1, command.find('"', 1) - 1);
                 return command.substr(0, command.find(' '));
             }
             return std::string("<absent>");
         }();
         const std::string run = inf.Profile("Version", "Run");
         return Places{{name, v},
                       {removed.size() > 4 ? removed[4] : shortName, v},
                       {link, "PROGDIR\\" + v},
                       {run.substr(run.find_last_of("\\/:") + 1), v}};
     }},
    // Two files of one folder whose names differ only in letter case: refused by the
    // table, or (where their 8.3 names meet first) by the short-name check.
    {"maiuscole",
     [](const std::string& v, ScratchFolder& folder) {
         // Long names of one folder: their 8.3 names differ, their names only in case.
         const std::string one = FileNamed("Documento lungo " + v, folder, "uno");
         const std::string two = FileNamed("Documento lungo " + SwapCase(v), folder, "uno");
         if (one.empty() || SwapCase(v) == v)
             return std::vector<Step>();
         return std::vector<Step>{{{"add", "@", one}, "nome"},
                                  {{"add", "@", two}, "maiuscole|stesso nome corto"}};
     },
     nullptr},
};

class FieldDoors : public velaset_test::VelasetTest {
  protected:
    void SetUp() override {
        // Stand-ins for the stub and the runtime, so that a build runs anywhere.
        const std::string system = folder.MakeFolder("sistema");
        ScratchFolder::WriteBytes(folder.Path("sistema/Avviora.exe"), FakeStubImage(14336));
        ScratchFolder::WriteBytes(folder.Path("sistema/avviora.dll"),
                                  FakeLibrary(kMachineI386, "runtime"));
        setenv("VELASET_SYSTEM_DIR", system.c_str(), 1);
        ASSERT_EQ(Run({"new", mip, "--title", "Demo"}).code, 0);
        ASSERT_EQ(Run({"add", mip, folder.WriteFile("src/app.exe", "MZ")}).code, 0);
        ASSERT_EQ(Run({"link", mip, "add", "app.exe", "App", "P"}).code, 0);
        base = ScratchFolder::ReadFile(mip);
    }
    void TearDown() override { unsetenv("VELASET_SYSTEM_DIR"); }

    CommandRun Run(Args args) {
        for (std::string& arg : args)
            arg = arg == "@" ? mip : arg;
        return Velaset(std::move(args));
    }

    std::string mip = folder.Path("Demo.mip");
    std::string base;
};

TEST_F(FieldDoors, EveryCommandRefusesCleanlyOrEverythingAfterItAcceptsAndReadsBack) {
    int accepted = 0, refused = 0, built = 0;
    for (const Door& door : kDoors) {
        for (const std::string& value : HostileValues(static_cast<unsigned>(door.name[0]), 12)) {
            SCOPED_TRACE(std::string(door.name) + " = \"" + value + "\"");
            ScratchFolder::WriteBytes(mip, base);
            const std::vector<Step> steps = door.steps(value, folder);
            if (steps.empty())
                continue; // no file can have that name here
            bool ok = true;
            for (const Step& step : steps) {
                const std::string before = ScratchFolder::ReadFile(mip);
                const CommandRun run = Run(step.args);
                if (run.code == 0)
                    continue;
                // 2: the value cannot be stored; 1: the short-name check of the files list
                // refused the file (and added nothing).
                const bool clash = run.err.find("stesso nome corto") != std::string::npos;
                EXPECT_EQ(run.code, clash ? 1 : 2) << run.err;
                bool named = false;
                std::string words = step.word;
                for (size_t bar = 0; bar != std::string::npos; words = words.substr(bar + 1)) {
                    bar = words.find('|');
                    named = named || run.err.find(words.substr(0, bar)) != std::string::npos;
                }
                EXPECT_TRUE(named) << step.word << ": " << run.err;
                EXPECT_EQ(ScratchFolder::ReadFile(mip), before) << "refused, yet changed";
                ok = false;
                break;
            }
            if (!ok) {
                ++refused;
                continue;
            }
            ++accepted;
            ASSERT_EQ(Run({"show", "@"}).code, 0);
            const CommandRun inf = Run({"inf", "@", "-o", folder.Path("setup.inf")});
            ASSERT_EQ(inf.code, 0) << inf.err;
            if (accepted % 5 == 0) {
                const CommandRun build = Run({"build", "@", "-o", folder.Path("S.exe"), "--quiet"});
                EXPECT_EQ(build.code, 0) << build.err;
                ++built;
            }
            if (door.readBack == nullptr)
                continue;
            const InfReader reader(ScratchFolder::ReadFile(folder.Path("setup.inf")));
            for (const auto& place : door.readBack(reader, value))
                EXPECT_EQ(place.first, place.second);
        }
    }
    std::printf("accepted %d, refused %d, built %d\n", accepted, refused, built);
    // Both ways are taken: the values are hostile, not hopeless.
    EXPECT_GT(accepted, 60);
    EXPECT_GT(refused, 60);
    EXPECT_GT(built, 10);
}

} // namespace
#endif

#include "tests/script/script_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "builder/project/short_name_clash.h"
#include "platform/folders.h"
#include "platform/source_path.h"

namespace fs = std::filesystem;

namespace velaset {
namespace testing {

TempFolder::TempFolder() {
    // A valid 8.3 name, "S" and seven hex digits: on POSIX the short names of long-named
    // entries depend on their siblings, and a name that is already short changes none
    // of them, so these folders do not disturb other programs using the temporary folder.
    static std::atomic<unsigned> counter{0};
    const auto now = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char name[16];
    for (;;) {
        const unsigned value = static_cast<unsigned>((now / 1000 + counter++ * 7919u) & 0xFFFFFFFu);
        std::snprintf(name, sizeof name, "S%07X", value);
        path_ = platform::JoinSourcePath(platform::TempFolder(), name);
        if (fs::create_directory(fs::path(path_))) {
            break;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(fs::path(path_), ignored);
}

std::string TempFolder::PathOf(const std::string& relative) const {
    std::string native = relative;
    for (char& c : native) {
        if (c == '/') {
            c = platform::SourceSeparator();
        }
    }
    return platform::JoinSourcePath(path_, native);
}

std::string TempFolder::MakeFile(const std::string& relative, const std::string& bytes) {
    const std::string path = PathOf(relative);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(fs::path(path), std::ios::binary) << bytes;
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Golden(const std::string& name) {
    return ReadBytes(std::string(VELASET_TEST_DATA_DIR) + "/script/" + name);
}

Project WorkedExample(TempFolder& folder) {
    Project p;
    p.Titolo = "Demo";
    p.Caption = "Installazione di Demo";
    p.Etic1A = "Benvenuti";
    p.Etic2A = "Questo programma installa Demo.";
    p.SetButtonBrowse(1);
    p.DefCartella = "C:\\Programmi\\";
    p.DefDir = "Demo";
    p.SetChkLancio(1);
    p.Lancio = "Demo.exe";
    p.SetDlgEnd(1);
    p.CaptionB = "Fine";
    p.EticB = "Installazione completata con successo.";
    p.SetSfondo(0);
    p.AddFile({folder.MakeFile("Src/Demo.exe"), "D"});
    p.AddFile({folder.MakeFile("Src/Guida lunga.hlp"), "H"});
    p.AddFile({folder.MakeFile("Src/Comp.ocx"), "D*"});
    p.SetGruppo(1);
    p.NomeGruppo = "Demo";
    p.AddLink({"Demo.exe", "Demo", "P"});
    p.AddLink({"Demo.exe", "Demo", "D"});
    p.SetUninstall(1);
    p.UninstallString = "Disinstalla Demo";
    p.LabelControl = "Demo 1.0";
    p.AddRegistryEntry("HKLM,Software\\Demo,\"Versione\",,\"1.0\"");
    return p;
}

std::string SystemShortName(const std::string& path) {
    return ShortName(path);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace testing
} // namespace velaset

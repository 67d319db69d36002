// Fuzzes the project load with arbitrary bytes as the .mip file. The load either
// refuses the file with a message naming it, leaving the project as it was, or gives a
// project that keeps the model's rules: no two files with the same path or short name,
// links only to listed files, no uninstall name without the uninstall icon, lists
// within 32767 entries. A loaded project saves, and the saved file loads back to the
// same project (saved again, the same bytes).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "builder/project/short_name_clash.h"
#include "platform/source_path.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::Fail;
using velaset::FileEntry;
using velaset::Project;

namespace {

std::vector<int> Flags(const Project& p) {
    return {p.ButtonBrowse(), p.Sfondo(),    p.Gruppo(),       p.DlgEnd(),
            p.Uninstall(),    p.ChkLancio(), p.Distribuzione()};
}

void CheckModelRules(const Project& p) {
    for (int flag : Flags(p))
        if (flag != 0 && flag != 1)
            Fail("a flag holds " + std::to_string(flag));
    const auto& files = p.Files();
    for (size_t i = 0; i < files.size(); ++i) {
        std::vector<FileEntry> before(files.begin(), files.begin() + i);
        if (velaset::ShortNameClash(files[i].path, before))
            Fail("two files with the short name of " + files[i].path);
    }
    for (const auto& link : p.Links()) {
        bool listed = false;
        for (const auto& f : files)
            listed = listed || platform::SourceFileName(f.path) == link.file;
        if (!listed)
            Fail("link to an unlisted file: " + link.Text());
    }
    if (p.Uninstall() == 0 && !p.UninstallString.empty())
        Fail("uninstall name without the uninstall icon");
    if (p.Sfondo() == 0 && !p.TestoSfondo.empty())
        Fail("background text without the background window");
    if (files.size() > 32767 || p.Links().size() > 32767 || p.RegistryEntries().size() > 32767)
        Fail("a list beyond 32767 entries");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::FixtureFolder();
    // The round trip's own files are gone before the load: a project that names them
    // would otherwise lose them between the two saves.
    const std::string copy = folder + "/copy.mip", second = folder + "/second.mip";
    std::remove(copy.c_str());
    std::remove(second.c_str());
    Project project;
    project.Titolo = "prima del caricamento";
    project.ProgFile = fuzz::WriteFixtureFile("fuzz.mip", data, size);
    fuzz::InFixture inFixture;

    platform::Status loaded = velaset::LoadProject(&project, folder);
    if (!loaded) {
        const std::string head = "Impossibile caricare il progetto " + project.ProgFile + ": ";
        if (loaded.message.compare(0, head.size(), head) != 0)
            Fail("refusal without the file's name: " + loaded.message);
        if (project.Titolo != "prima del caricamento" || !project.Files().empty() ||
            !project.Links().empty() || !project.RegistryEntries().empty())
            Fail("a refused load changed the project");
        return 0;
    }
    CheckModelRules(project);

    // The round trip costs one file rewrite per value; long lists are left out of it.
    size_t entries =
        project.Files().size() + project.Links().size() + project.RegistryEntries().size();
    if (entries > 200)
        return 0;
    platform::Status saved = velaset::SaveProjectTo(project, copy);
    if (!saved)
        Fail("a loaded project does not save: " + saved.message);
    Project again;
    again.ProgFile = copy;
    platform::Status reloaded = velaset::LoadProject(&again, folder);
    if (!reloaded)
        Fail("the saved project does not load: " + reloaded.message);
    again.ProgFile = project.ProgFile;
    if (!velaset::SaveProjectTo(again, second))
        Fail("the project loaded back does not save");
    std::ifstream a(copy, std::ios::binary), b(second, std::ios::binary);
    const std::string first((std::istreambuf_iterator<char>(a)), {});
    const std::string other((std::istreambuf_iterator<char>(b)), {});
    if (first != other)
        Fail("the saved project loads differently:\n" + first + "\n----\n" + other);
    return 0;
}

// Adds 10,000 real files to an empty project through VerificaLista and writes the
// setup script of the result, once with all files in one folder and once with the
// files spread over 100 folders; prints the time of each step.
//
//   script_bench [FILES] [FOLDERS...]     default: 10000 files, layouts 1 and 100
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/project/short_name_clash.h"
#include "builder/script/script_file.h"
#include "builder/script/verifica_lista.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/source_path.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Half the files have 8.3 names, half long names with blanks whose stems repeat within
// a folder, so the short names are numbered as on a real disk.
std::string NameOf(int i, int stem) {
    char name[64];
    if (i % 2 == 0) {
        std::snprintf(name, sizeof name, "f%05d.dat", i);
    } else {
        std::snprintf(name, sizeof name, "d%03d documento %05d.txt", stem % 1000, i);
    }
    return name;
}

// Plain stdio: the platform's open resolves each new name against the whole folder,
// which would make setting up 10,000 files the slow part of the run.
bool MakeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fputs("x", file);
    return std::fclose(file) == 0;
}

struct Layout {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

bool MakeLayout(const std::string& root, int fileCount, int folderCount, Layout* layout) {
    if (!platform::MakeDirectory(root)) {
        return false;
    }
    for (int f = 0; f < folderCount; ++f) {
        layout->folders.push_back(platform::JoinSourcePath(root, "cartella " + std::to_string(f)));
        if (!platform::MakeDirectory(layout->folders.back())) {
            return false;
        }
    }
    const int perFolder = (fileCount + folderCount - 1) / folderCount;
    for (int i = 0; i < fileCount; ++i) {
        layout->files.push_back(
            platform::JoinSourcePath(layout->folders[static_cast<size_t>(i / perFolder)],
                                     NameOf(i, folderCount == 1 ? i / 100 : i / perFolder)));
        if (!MakeFile(layout->files.back())) {
            return false;
        }
    }
    return true;
}

void RemoveLayout(const std::string& root) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(root), ignored);
}

int RunOne(int fileCount, int folderCount) {
    // An 8.3 name, so that the folder changes no other entry's short name.
    char rootName[16];
    std::snprintf(
        rootName, sizeof rootName, "B%07lX",
        (platform::CurrentProcessId() * 1000ul + static_cast<unsigned long>(folderCount)) &
            0xFFFFFFFul);
    const std::string root = platform::JoinSourcePath(platform::TempFolder(), rootName);
    Layout layout;
    if (!MakeLayout(root, fileCount, folderCount, &layout)) {
        std::fprintf(stderr, "cannot make the files under %s\n", root.c_str());
        return 1;
    }

    velaset::Project project;
    project.Titolo = "Banco";
    project.DefDir = "Banco";
    Clock::time_point start = Clock::now();
    int added = 0;
    {
        velaset::VerificaLista check(project, velaset::SystemDefaultFolders());
        for (const std::string& path : layout.files) {
            const std::string folder =
                platform::WithoutTrailingSeparator(platform::SourceFolderPart(path));
            added += check.Add(path, folder).outcome == velaset::AddOutcome::Added ? 1 : 0;
        }
    }
    const double addSeconds = SecondsSince(start);

    const std::string script = platform::JoinSourcePath(root, "setup.inf");
    start = Clock::now();
    const platform::Status written =
        velaset::WriteSetupScript(project, velaset::ScriptVariant::Full, script);
    const double writeSeconds = SecondsSince(start);
    if (!written) {
        std::fprintf(stderr, "%s\n", written.message.c_str());
    }
    // The same add without the per-run cache: every file is checked against the list
    // with a short-path look-up per listed file, as the list check alone would do.
    // Quadratic, and each look-up reads a whole folder: only a few files, more when the
    // folders are small.
    const int uncachedCount = std::min(fileCount, folderCount >= 100 ? 100 : 20);
    int uncachedAdded = 0;
    start = Clock::now();
    {
        std::vector<velaset::FileEntry> list;
        for (int i = 0; i < uncachedCount; ++i) {
            if (!velaset::ShortNameClash(layout.files[static_cast<size_t>(i)], list)) {
                list.push_back({layout.files[static_cast<size_t>(i)], "D"});
            }
        }
        uncachedAdded = static_cast<int>(list.size());
    }
    const double uncachedSeconds = SecondsSince(start);
    platform::IgnoreFailure(platform::RemoveFile(script));
    RemoveLayout(root);

    std::printf("%6d files in %3d folder(s): added %6d   add %7.3f s   write %7.3f s%s\n"
                "        without the cache, the first %d files: added %d, add %7.3f s\n",
                fileCount, folderCount, added, addSeconds, writeSeconds,
                written ? "" : "   (write failed)", uncachedCount, uncachedAdded, uncachedSeconds);
    return written && added == fileCount ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const int fileCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::vector<int> layouts;
    for (int i = 2; i < argc; ++i) {
        layouts.push_back(std::atoi(argv[i]));
    }
    if (layouts.empty()) {
        layouts = {1, 100};
    }
    std::printf("aims: add under 2 s, write under 1 s\n");
    int result = 0;
    for (int folders : layouts) {
        result |= RunOne(fileCount, folders);
    }
    return result;
}

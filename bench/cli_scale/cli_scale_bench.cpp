// Times the velaset command on a large project: a new project, `add` of every file
// of a generated tree at once, then `inf`, `show`, `set` and `build` of the result.
// Each runner (a velaset program, or velaset-cli.exe behind its loader) works in turn
// in the same folder on the same files, so their outputs can be compared byte for
// byte: the project file after each command, the setup script, the text of `show` and
// the setup executable.
//
//   cli_scale_bench [--files N] [--folders F] [--windows] FOLDER LABEL=COMMAND...
//
// COMMAND is the program with any words before it, split at blanks ("wine
// /path/velaset-cli.exe"); --windows passes the file paths with "\" separators.
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Runner {
    std::string label;
    std::vector<std::string> command;
};

struct Step {
    const char* name;     // the row of the table
    const char* artifact; // the file it leaves to compare ("" for none)
    bool timed;
};

// What one runner measured and left behind.
struct Result {
    std::vector<double> seconds;
    std::vector<int> codes;
};

// Half the files have 8.3 names, half long names with blanks whose stems repeat within
// a folder, so that the short names are numbered as on a real disk.
std::string NameOf(int i, int stem) {
    char name[64];
    if (i % 2 == 0)
        std::snprintf(name, sizeof name, "f%05d.dat", i);
    else
        std::snprintf(name, sizeof name, "d%03d documento %05d.txt", stem % 1000, i);
    return name;
}

// The files under FOLDER/work/src, as relative paths with the runner's separator.
std::vector<std::string> MakeTree(const fs::path& work, int files, int folders, char separator) {
    std::vector<std::string> relative;
    const int perFolder = (files + folders - 1) / folders;
    for (int f = 0; f < folders; ++f)
        fs::create_directories(work / "src" / ("c" + std::to_string(f)));
    for (int i = 0; i < files; ++i) {
        const std::string folder = "c" + std::to_string(i / perFolder);
        const std::string name = NameOf(i, i / perFolder);
        std::ofstream(work / "src" / folder / name, std::ios::binary) << "contenuto " << i << '\n';
        relative.push_back(std::string("src") + separator + folder + separator + name);
    }
    return relative;
}

// Runs command + args in work with stdout into outPath (or /dev/null) and stderr
// into errPath; the exit code, or -1 when it could not run or ended by a signal.
int Run(const std::vector<std::string>& command, const std::vector<std::string>& args,
        const fs::path& work, const std::string& outPath, const std::string& errPath) {
    std::vector<std::string> words = command;
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.empty() ? "/dev/null" : outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    const fs::path before = fs::current_path();
    fs::current_path(work);
    pid_t pid;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    fs::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

int Usage() {
    std::fprintf(stderr, "uso: cli_scale_bench [--files N] [--folders F] [--windows] CARTELLA "
                         "ETICHETTA=COMANDO...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int files = 10000, folders = 100;
    bool windows = false;
    std::string folder;
    std::vector<Runner> runners;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--files" && i + 1 < argc) {
            files = std::atoi(argv[++i]);
        } else if (arg == "--folders" && i + 1 < argc) {
            folders = std::atoi(argv[++i]);
        } else if (arg == "--windows") {
            windows = true;
        } else if (folder.empty()) {
            folder = arg;
        } else if (arg.find('=') != std::string::npos) {
            Runner runner{arg.substr(0, arg.find('=')), Words(arg.substr(arg.find('=') + 1))};
            // The commands run in the work folder: a program named by a relative path
            // is found from here.
            for (std::string& word : runner.command) {
                if (word.find('/') != std::string::npos && fs::exists(word))
                    word = fs::absolute(word).string();
            }
            runners.push_back(runner);
        } else {
            return Usage();
        }
    }
    if (folder.empty() || runners.empty() || files < 1 || folders < 1)
        return Usage();

    const fs::path root = fs::absolute(folder);
    const fs::path work = root / "work";
    fs::remove_all(root);
    fs::create_directories(work);
    const std::vector<std::string> sources = MakeTree(work, files, folders, windows ? '\\' : '/');
    // The packages carry the times of these files, the same for every runner. No
    // SOURCE_DATE_EPOCH: older than the files, it would time a copy of each of them.
    unsetenv("SOURCE_DATE_EPOCH");

    const Step steps[] = {
        {"new", "", false},
        {"add", "P.mip", true},
        {"inf", "setup.inf", true},
        {"show", "show.txt", true},
        {"set", "P.mip", true},
        {"build", "S.exe", true},
    };
    const size_t stepCount = sizeof steps / sizeof steps[0];
    std::vector<Result> results(runners.size());
    for (size_t r = 0; r < runners.size(); ++r) {
        const fs::path out = root / ("out-" + runners[r].label);
        fs::create_directories(out);
        for (const char* name : {"P.mip", "P.mip.lock", "setup.inf", "S.exe"})
            fs::remove(work / name);
        const std::string errors = (out / "stderr.txt").string();
        for (size_t s = 0; s < stepCount; ++s) {
            std::vector<std::string> args;
            std::string stdoutPath;
            const std::string name = steps[s].name;
            if (name == "new") {
                args = {"new", "P.mip", "--title", "Scala"};
            } else if (name == "add") {
                args = {"add", "P.mip"};
                args.insert(args.end(), sources.begin(), sources.end());
            } else if (name == "inf") {
                args = {"inf", "P.mip", "-o", "setup.inf"};
            } else if (name == "show") {
                args = {"show", "P.mip"};
                stdoutPath = (out / "show.txt").string();
            } else if (name == "set") {
                args = {"set", "P.mip", "Caption=Installazione di Scala"};
            } else {
                args = {"build", "P.mip", "-o", "S.exe", "--quiet"};
            }
            const Clock::time_point start = Clock::now();
            const int code = Run(runners[r].command, args, work, stdoutPath, errors);
            results[r].seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            results[r].codes.push_back(code);
            const std::string artifact = steps[s].artifact;
            if (!artifact.empty() && artifact != "show.txt" && fs::exists(work / artifact))
                fs::copy_file(work / artifact, out / (name + "." + artifact),
                              fs::copy_options::overwrite_existing);
            if (artifact == "show.txt")
                fs::rename(out / "show.txt", out / "show.show.txt");
            std::fprintf(stderr, "%s %s: %.2f s, exit %d\n", runners[r].label.c_str(),
                         name.c_str(), results[r].seconds.back(), code);
        }
    }

    std::printf("%d files in %d folders; times are wall-clock seconds\n", files, folders);
    std::printf("%-7s", "step");
    for (const Runner& runner : runners)
        std::printf(" %14s", runner.label.c_str());
    if (runners.size() > 1)
        std::printf("  %9s  %s", "ratio", "output equal to the first runner's");
    std::printf("\n");
    bool allOk = true;
    for (size_t s = 0; s < stepCount; ++s) {
        if (!steps[s].timed)
            continue;
        std::printf("%-7s", steps[s].name);
        for (size_t r = 0; r < runners.size(); ++r) {
            std::printf(" %12.3f%s", results[r].seconds[s], results[r].codes[s] == 0 ? "  " : " !");
            allOk = allOk && results[r].codes[s] == 0;
        }
        if (runners.size() > 1) {
            std::printf("  %8.1fx ", results[0].seconds[s] / results.back().seconds[s]);
            const std::string file = std::string(steps[s].name) + "." + steps[s].artifact;
            const std::string first = ReadAll(root / ("out-" + runners[0].label) / file);
            for (size_t r = 1; r < runners.size(); ++r) {
                const std::string other = ReadAll(root / ("out-" + runners[r].label) / file);
                const bool same = !first.empty() && first == other;
                allOk = allOk && same;
                std::printf(" %s %s (%zu bytes)", file.c_str(), same ? "equal" : "DIFFERENT",
                            other.size());
            }
        }
        std::printf("\n");
    }
    std::printf("ratio: first runner's time / last runner's; \"!\" marks a non-zero exit "
                "(see %s/out-*/stderr.txt)\n",
                root.string().c_str());
    return allOk ? 0 : 1;
}

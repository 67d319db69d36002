// Cabinet benchmark: builds the cabinet set of a project of mixed files (one folder per
// file, as the builder does) with one thread and with several, beside libdeflate-gzip -9 on
// the same files, and prints time, size and peak memory of each.
//   cabinet_bench [--threads N] [--one-file] WORKDIR MEGABYTES...
// With --one-file the chosen files are joined into one file WORKDIR/one.bin first: one
// folder, which the threads compress in pieces. The cabinets and spill files go to
// WORKDIR/out and are removed after each size.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/worker_thread.h"

using namespace velaset::compress;

namespace {

const uint32_t kBuilderLimit = 145000000; // the builder's cabinet size limit

struct Measure {
    double seconds = 0;
    double cpuSeconds = 0; // user and system time of the process and its threads
    uint64_t bytes = 0;
    long peakKb = 0;
    bool ok = true;
};

double Now() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return tv.tv_sec + tv.tv_usec / 1e6;
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Installed files of this machine, as a project would hold them: headers and documents
// (text), programs and libraries, and the already compressed files of /usr/share, taken in
// turn from each root in name order until the total is reached.
std::vector<std::string> SelectInput(unsigned megabytes) {
    const char* const roots[] = {"/usr/include", "/usr/bin", "/usr/lib/x86_64-linux-gnu",
                                 "/usr/share"};
    std::vector<std::vector<std::string>> lists;
    for (const char* root : roots) {
        std::string command = std::string("find ") + root +
                              " -type f -size +4k -size -16M 2>/dev/null | LC_ALL=C sort";
        FILE* pipe = popen(command.c_str(), "r");
        std::vector<std::string> list;
        char line[4096];
        while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
            line[std::strcspn(line, "\n")] = '\0';
            if (access(line, R_OK) == 0 && std::strchr(line, '+') == nullptr) {
                list.push_back(line);
            }
        }
        if (pipe != nullptr) {
            pclose(pipe);
        }
        lists.push_back(list);
    }
    std::vector<std::string> files;
    const uint64_t want = uint64_t(megabytes) << 20;
    uint64_t total = 0;
    for (size_t i = 0; total < want; i++) {
        bool any = false;
        for (const auto& list : lists) {
            if (i < list.size() && total < want) {
                files.push_back(list[i]);
                total += FileSize(list[i]);
                any = true;
            }
        }
        if (!any) {
            break;
        }
    }
    return files;
}

// Writes the files one after the other into `joined`.
bool JoinFiles(const std::vector<std::string>& files, const std::string& joined) {
    FILE* out = std::fopen(joined.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (const std::string& f : files) {
        FILE* in = std::fopen(f.c_str(), "rb");
        if (in == nullptr) {
            continue; // a file that went away since it was chosen
        }
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
            ok = ok && std::fwrite(buffer.data(), 1, n, out) == n;
        }
        std::fclose(in);
    }
    return std::fclose(out) == 0 && ok;
}

// The first three figures of /proc/loadavg.
std::string LoadAverage() {
    char text[128] = "";
    FILE* loadavg = std::fopen("/proc/loadavg", "r");
    if (loadavg != nullptr) {
        if (std::fgets(text, sizeof text, loadavg) == nullptr) {
            text[0] = '\0';
        }
        std::fclose(loadavg);
    }
    std::string load = text;
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; field++) {
        end = load.find(' ', end + (field ? 1 : 0));
    }
    return load.substr(0, end);
}

// Runs body in a child process and measures its time and peak resident memory.
template <typename Body> Measure InChild(Body body) {
    Measure m;
    std::fflush(stdout);
    double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    m.seconds = Now() - start;
    m.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec / 1e6;
    m.peakKb = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

std::vector<std::string> CabinetFiles(const std::string& dir, const std::string& base) {
    std::vector<std::string> set;
    for (int n = 1;; n++) {
        char name[64];
        std::snprintf(name, sizeof name, n == 1 ? "%s.CAB" : "%s%d.CAB", base.c_str(), n);
        std::string path = dir + "/" + name;
        if (access(path.c_str(), F_OK) != 0) {
            return set;
        }
        set.push_back(path);
    }
}

// Builds outDir/setup.CAB (and the rest of its set) with the builder's size limit.
Measure RunComprimi(const std::string& outDir, const std::string& list, unsigned threads) {
    const std::string base = "setup";
    mkdir(outDir.c_str(), 0755);
    for (const std::string& old : CabinetFiles(outDir, base)) {
        unlink(old.c_str());
    }
    Measure m = InChild([&] {
        return ComprimiWith((outDir + "/").c_str(), base.c_str(), list.c_str(), kBuilderLimit,
                            PlatformCallbacks(), threads) == 1;
    });
    for (const std::string& cab : CabinetFiles(outDir, base)) {
        m.bytes += FileSize(cab);
    }
    return m;
}

bool SameFiles(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); i++) {
        std::string command = "cmp -s '" + a[i] + "' '" + b[i] + "'";
        if (std::system(command.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

Measure RunGzip(const std::vector<std::string>& files, const std::string& outDir) {
    Measure total;
    std::string out = outDir + "/gzip.out";
    for (const std::string& file : files) {
        Measure m = InChild([&] {
            FILE* sink = std::freopen(out.c_str(), "wb", stdout);
            if (sink == nullptr) {
                return false;
            }
            execlp("libdeflate-gzip", "libdeflate-gzip", "-9", "-c", file.c_str(), nullptr);
            return false;
        });
        total.seconds += m.seconds;
        total.cpuSeconds += m.cpuSeconds;
        total.bytes += FileSize(out);
        total.peakKb = m.peakKb > total.peakKb ? m.peakKb : total.peakKb;
        total.ok = total.ok && m.ok;
    }
    unlink(out.c_str());
    return total;
}

void Row(unsigned megabytes, size_t files, const char* tool, const Measure& m, uint64_t input,
         double baseSeconds) {
    std::printf(
        "| %5u MB | %5zu | %-26s | %7.2f s | %7.2f s | %6.1f MB/s | %11llu | %5.1f %% | %6.1f MB | "
        "%s |\n",
        megabytes, files, tool, m.seconds, m.cpuSeconds, input / 1048576.0 / m.seconds,
        static_cast<unsigned long long>(m.bytes), 100.0 * m.bytes / input, m.peakKb / 1024.0,
        baseSeconds > 0 ? (std::to_string(baseSeconds / m.seconds).substr(0, 4) + "x").c_str()
                        : (m.ok ? "" : "FAILED"));
}

} // namespace

int main(int argc, char** argv) {
    unsigned threads = ComprimiThreads();
    bool oneFile = false;
    int at = 1;
    for (; at < argc && argv[at][0] == '-'; at++) {
        if (std::strcmp(argv[at], "--threads") == 0 && at + 1 < argc) {
            threads = static_cast<unsigned>(std::atoi(argv[++at]));
        } else if (std::strcmp(argv[at], "--one-file") == 0) {
            oneFile = true;
        } else {
            break;
        }
    }
    if (argc - at < 2) {
        std::fprintf(stderr,
                     "usage: cabinet_bench [--threads N] [--one-file] WORKDIR MEGABYTES...\n");
        return 2;
    }
    std::string work = argv[at++];
    mkdir(work.c_str(), 0755);
    std::string outDir = work + "/out";
    mkdir(outDir.c_str(), 0755);
    setenv("TMPDIR", outDir.c_str(), 1);
    std::printf(
        "| input    | files | tool                       | time      | CPU time  | speed       | "
        "output bytes | ratio   | peak RSS | vs 1 thread |\n");
    std::printf(
        "|----------|-------|----------------------------|-----------|-----------|-------------|"
        "-------------|---------|----------|---|\n");
    bool identical = true;
    const std::string loadBefore = LoadAverage();
    for (; at < argc; at++) {
        unsigned megabytes = static_cast<unsigned>(std::atoi(argv[at]));
        std::vector<std::string> files = SelectInput(megabytes);
        if (oneFile) {
            std::string joined = work + "/one.bin";
            if (!JoinFiles(files, joined)) {
                std::fprintf(stderr, "cabinet_bench: cannot write %s\n", joined.c_str());
                return 1;
            }
            files.assign(1, joined);
        }
        std::string list;
        uint64_t input = 0;
        for (const std::string& f : files) {
            list += (list.empty() ? "" : "+") + f;
            input += FileSize(f);
        }
        Measure one = RunComprimi(outDir + "/one", list, 1);
        Row(megabytes, files.size(), "Comprimi, 1 thread", one, input, 0);
        Measure many = RunComprimi(outDir + "/many", list, threads);
        std::string label = "Comprimi, " + std::to_string(threads) + " threads";
        Row(megabytes, files.size(), label.c_str(), many, input, one.seconds);
        bool same = one.ok && many.ok &&
                    SameFiles(CabinetFiles(outDir + "/one", "setup"),
                              CabinetFiles(outDir + "/many", "setup"));
        identical = identical && same;
        Measure gzip = RunGzip(files, outDir);
        Row(megabytes, files.size(), "libdeflate-gzip -9", gzip, input, 0);
        std::printf("|          |       | 1 and %u threads: %-9s | %zu cabinet(s) | Comprimi/gzip: "
                    "time %.2f, size %.3f | | | | | |\n",
                    threads, same ? "identical" : "DIFFER",
                    CabinetFiles(outDir + "/one", "setup").size(), one.seconds / gzip.seconds,
                    double(one.bytes) / gzip.bytes);
        for (const char* sub : {"/one", "/many"}) {
            for (const std::string& cab : CabinetFiles(outDir + sub, "setup")) {
                unlink(cab.c_str());
            }
        }
        std::fflush(stdout);
    }
    if (oneFile) {
        unlink((work + "/one.bin").c_str());
    }
    std::printf("\nload average (1, 5, 15 min) before: %s, after: %s; %u processors\n",
                loadBefore.c_str(), LoadAverage().c_str(), ProcessorCount());
    return identical ? 0 : 1;
}

// Compresses each file given as one cabinet folder (32768-byte MSZIP blocks with
// history between full blocks) and runs libdeflate-gzip -6 and -9 on the same file.
// Times are CPU times of one thread (the peers' are their processes' user + system
// time), so the figures stand for one core even on a busy machine.
//
//   mszip_bench [--repeat N] FILE...
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "compress/mszip.h"

using namespace velaset::compress;

namespace {

struct Result {
    double seconds = 0; // best of the runs
    uint64_t size = 0;
    uint64_t digest = 14695981039346656037ull; // FNV-1a of our output: tuning keeps it
};

void AddToDigest(uint64_t& digest, const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; i++) {
        digest ^= data[i];
        digest *= 1099511628211ull;
    }
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    uint8_t chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    std::fclose(f);
    return true;
}

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void* Allocate(uint32_t size) {
    return std::malloc(size);
}
void Release(void* memory) {
    std::free(memory);
}

// Our compressor: the file as one folder, the output sizes without cabinet headers.
bool RunOurs(const std::vector<uint8_t>& data, int repeat, Result& result) {
    uint32_t blockSize = MSZIP_MAX_BLOCK_SIZE, maxOutput = 0;
    MsZipCompressor* compressor = nullptr;
    if (MsZipCreate(&blockSize, Allocate, Release, &compressor, &maxOutput) != MSZIP_OK)
        return false;
    std::vector<uint8_t> output(maxOutput);
    for (int run = 0; run < repeat; run++) {
        MsZipReset(compressor);
        uint64_t size = 0;
        double start = ThreadSeconds();
        for (size_t at = 0; at < data.size(); at += blockSize) {
            size_t n = data.size() - at < blockSize ? data.size() - at : blockSize;
            uint32_t written = 0;
            if (MsZipCompress(compressor, data.data() + at, static_cast<uint32_t>(n), output.data(),
                              maxOutput, &written) != MSZIP_OK)
                return false;
            size += written;
        }
        double seconds = ThreadSeconds() - start;
        if (run == 0) { // outside the timed part: digest of the whole output
            Result check;
            MsZipReset(compressor);
            for (size_t at = 0; at < data.size(); at += blockSize) {
                size_t n = data.size() - at < blockSize ? data.size() - at : blockSize;
                uint32_t written = 0;
                MsZipCompress(compressor, data.data() + at, static_cast<uint32_t>(n), output.data(),
                              maxOutput, &written);
                AddToDigest(check.digest, output.data(), written);
            }
            result.digest = check.digest;
        }
        if (run == 0 || seconds < result.seconds)
            result.seconds = seconds;
        result.size = size;
    }
    MsZipDestroy(compressor);
    return true;
}

double ChildrenSeconds() {
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// libdeflate-gzip -LEVEL -c FILE, its output counted through a pipe.
bool RunPeer(const char* path, int level, int repeat, Result& result) {
    for (int run = 0; run < repeat; run++) {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        double before = ChildrenSeconds();
        pid_t pid = fork();
        if (pid == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            std::string option = "-" + std::to_string(level);
            execlp("libdeflate-gzip", "libdeflate-gzip", option.c_str(), "-c", path,
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        uint64_t size = 0;
        char chunk[1 << 16];
        ssize_t n;
        while ((n = read(fds[0], chunk, sizeof chunk)) > 0)
            size += static_cast<uint64_t>(n);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return false;
        double seconds = ChildrenSeconds() - before;
        if (run == 0 || seconds < result.seconds)
            result.seconds = seconds;
        result.size = size;
    }
    return true;
}

double MegabytesPerSecond(uint64_t bytes, double seconds) {
    return seconds > 0 ? bytes / seconds / 1e6 : 0;
}

void PrintRow(const char* name, uint64_t bytes, const Result& ours, const Result& six,
              const Result& nine) {
    double oursSpeed = MegabytesPerSecond(bytes, ours.seconds);
    double sixSpeed = MegabytesPerSecond(bytes, six.seconds);
    double nineSpeed = MegabytesPerSecond(bytes, nine.seconds);
    std::printf("| %-14s | %10llu | %6.1f | %10llu | %6.1f | %10llu | %6.1f | %10llu | %5.2f | "
                "%5.3f | %5.2f | %5.3f |\n",
                name, static_cast<unsigned long long>(bytes), oursSpeed,
                static_cast<unsigned long long>(ours.size), sixSpeed,
                static_cast<unsigned long long>(six.size), nineSpeed,
                static_cast<unsigned long long>(nine.size), oursSpeed / sixSpeed,
                double(ours.size) / six.size, oursSpeed / nineSpeed, double(ours.size) / nine.size);
}

const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 2;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--repeat") == 0) {
        repeat = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc || repeat < 1) {
        std::fprintf(stderr, "usage: mszip_bench [--repeat N] FILE...\n");
        return 2;
    }
    std::printf("MB/s = 10^6 input bytes per CPU second (best of %d); sizes in bytes; ours = "
                "MSZIP blocks without cabinet headers\n\n",
                repeat);
    std::printf("| %-14s | %10s | %6s | %10s | %6s | %10s | %6s | %10s | %5s | %5s | %5s | %5s |\n",
                "file", "input", "ours", "ours size", "-6", "-6 size", "-9", "-9 size", "spd/6",
                "siz/6", "spd/9", "siz/9");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", "----------------", "------------",
                "--------", "------------", "--------", "------------", "--------", "------------",
                "-------", "-------", "-------", "-------");
    uint64_t totalBytes = 0;
    std::string digests;
    Result total[3];
    for (int i = first; i < argc; i++) {
        std::vector<uint8_t> data;
        if (!ReadWholeFile(argv[i], data)) {
            std::fprintf(stderr, "mszip_bench: cannot read %s\n", argv[i]);
            return 1;
        }
        Result ours, six, nine;
        if (!RunOurs(data, repeat, ours) || !RunPeer(argv[i], 6, repeat, six) ||
            !RunPeer(argv[i], 9, repeat, nine)) {
            std::fprintf(stderr, "mszip_bench: a run on %s failed\n", argv[i]);
            return 1;
        }
        PrintRow(BaseName(argv[i]), data.size(), ours, six, nine);
        digests += std::string(BaseName(argv[i])) + " " + std::to_string(ours.digest) + "\n";
        totalBytes += data.size();
        Result* parts[3] = {&ours, &six, &nine};
        for (int k = 0; k < 3; k++) {
            total[k].seconds += parts[k]->seconds;
            total[k].size += parts[k]->size;
        }
    }
    if (argc - first > 1)
        PrintRow("total", totalBytes, total[0], total[1], total[2]);
    std::printf("\ndigests of our output (FNV-1a 64):\n%s", digests.c_str());
    return 0;
}

// The fixture folder of the file-based fuzz targets.
#include "tests/fuzz/fixture_folder.h"

#include <cstdio>
#include <fcntl.h>
#include <cstdlib>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {
namespace {

void Put(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(f);
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

std::string& FolderPath() {
    static std::string path;
    return path;
}

void RemoveFixture() { nftw(FolderPath().c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS); }

std::string MakeFixture() {
    char start[4096];
    if (getcwd(start, sizeof start) == nullptr) {
        std::perror("velaset fuzz fixture");
        std::abort();
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velaset-fuzz-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr || chdir(pattern.c_str()) != 0) {
        std::perror("velaset fuzz fixture");
        std::abort();
    }
    for (const char* name : {"app.exe", "Guida lunga.hlp", "Documento largo.txt",
                             "Documento lungo.txt", "Però.txt", "readme.txt"})
        Put(name, std::string("contenuto di ") + name);
    mkdir("sub dir", 0755);
    mkdir("out", 0755);
    Put("sub dir/lib.dll", "MZ");
    FolderPath() = pattern;
    if (chdir(start) != 0) {
        std::perror("velaset fuzz fixture");
        std::abort();
    }
    std::atexit(RemoveFixture);
    return pattern;
}

} // namespace

const std::string& FixtureFolder() {
    static const std::string folder = MakeFixture();
    return folder;
}

InFixture::InFixture() : previous_(open(".", O_RDONLY | O_DIRECTORY)) {
    if (previous_ < 0 || chdir(FixtureFolder().c_str()) != 0) {
        std::perror("velaset fuzz fixture");
        std::abort();
    }
}

InFixture::~InFixture() {
    if (fchdir(previous_) != 0)
        std::abort();
    close(previous_);
}

void WriteFixtureFile(const std::string& name, const void* data, size_t size) {
    Put(FixtureFolder() + "/" + name, std::string(static_cast<const char*>(data), size));
}

} // namespace fuzz

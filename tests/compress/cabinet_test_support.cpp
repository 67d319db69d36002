// Test support for the cabinet library.
#include "tests/compress/cabinet_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/library_ui.h"
#include "tests/compress/cabinet_reader.h"

using namespace velaset::compress;

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const char kSeparator = '\\';
const char* kTempVariable = "TMP";
#else
const char kSeparator = '/';
const char* kTempVariable = "TMPDIR";
#endif

// Sets the variable, or removes it when value is empty.
void SetTempVariable(const std::string& value) {
#ifdef _WIN32
    _putenv((std::string(kTempVariable) + "=" + value).c_str());
#else
    if (value.empty()) {
        unsetenv(kTempVariable);
    } else {
        setenv(kTempVariable, value.c_str(), 1);
    }
#endif
}

// The system's temporary folder as it was when the tests started.
const fs::path& BaseTemp() {
    static const fs::path base = fs::temp_directory_path();
    return base;
}

void Record(const char* title, const char* text, void* user) {
    static_cast<ComprimiRun*>(user)->messages.emplace_back(title, text);
}

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

} // namespace

ScratchDir::ScratchDir() {
    static unsigned counter = 0;
    const fs::path& base = BaseTemp();
    for (;;) {
        fs::path candidate = base / ("velaset-cab-" + std::to_string(std::time(nullptr)) + "-" +
                                     std::to_string(std::rand()) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate)) {
            path_ = candidate.make_preferred().string();
            break;
        }
    }
    fs::create_directory(SpillDir());
    const char* saved = std::getenv(kTempVariable);
    savedTemp_ = saved != nullptr ? saved : "";
    SetTempVariable(SpillDir());
}

ScratchDir::~ScratchDir() {
    SetTempVariable(savedTemp_);
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::File(const std::string& name) const {
    return path_ + kSeparator + name;
}

std::string ScratchDir::CabDir() const {
    return path_ + kSeparator;
}

std::vector<std::string> ScratchDir::SpillFiles() const {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(SpillDir()))
        names.push_back(entry.path().filename().string());
    return names;
}

std::vector<std::string> ScratchDir::Names() const {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(path_)) {
        if (!entry.is_directory())
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Writer::Writer(const ScratchDir* in, uint32_t sizeLimit, const CabinetCallbacks& callbacks)
    : ownDir(in != nullptr ? nullptr : new ScratchDir()), dir(in != nullptr ? *in : *ownDir),
      cb(callbacks) {
    std::strcpy(settings.cabinetDir, dir.CabDir().c_str());
    std::strcpy(settings.cabinetBase, "w");
    settings.sizeLimit = sizeLimit;
    CabinetParams params;
    std::memset(&params, 0, sizeof params);
    params.sizeLimit = sizeLimit;
    params.folderThreshold = 900000;
    params.cabinetNumber = 1;
    params.setId = 12345;
    std::strcpy(params.diskName, "w");
    std::strcpy(params.cabinetName, "w.CAB");
    std::strcpy(params.cabinetPath, settings.cabinetDir);
    cab = FCICreate(&err, cb.filePlaced, cb.alloc, cb.release, cb.open, cb.read, cb.write, cb.close,
                    cb.seek, cb.remove, cb.tempName, &params, &settings);
}

Writer::~Writer() {
    if (cab != nullptr)
        FCIDestroy(cab);
}

bool Writer::Add(const std::string& name, const std::vector<uint8_t>& bytes,
                 const std::string& stored) {
    static const fs::file_time_type sourceTime =
        fs::file_time_type::clock::now() - std::chrono::hours(24);
    WriteFile(dir.File(name), bytes);
    fs::last_write_time(fs::path(dir.File(name)), sourceTime);
    return AddSource(name, stored);
}

bool Writer::AddSource(const std::string& name, const std::string& stored) {
    return FCIAddFile(cab, dir.File(name).c_str(), (stored.empty() ? name : stored).c_str(),
                      cb.nextCabinet, cb.progress, cb.openSource, kCompressionMsZip);
}

bool Writer::Flush() {
    return FCIFlushFolder(cab, cb.nextCabinet, cb.progress);
}

bool Writer::Finish() {
    bool ok = FCIFlushCabinet(cab, cb.nextCabinet, cb.progress);
    bool clean = FCIDestroy(cab);
    cab = nullptr;
    return ok && clean;
}

ReadCabinet Writer::Read(const std::string& name) const {
    return ReadCabinetFile(dir.File(name));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty())
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; i++) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<uint8_t>(x >> 24);
    }
    return bytes;
}

std::vector<uint8_t> TextBytes(size_t count) {
    std::string text;
    for (int line = 1; text.size() < count; line++)
        text += "riga " + std::to_string(line) + " del file di prova\r\n";
    return std::vector<uint8_t>(text.begin(), text.begin() + count);
}

ComprimiRun RunComprimi(const std::string& cabDir, const std::string& base, const std::string& list,
                        uint32_t maxSize, const CabinetCallbacks& callbacks, unsigned threads,
                        ComprimiProgressFn progress, void* progressContext,
                        const PieceSettings& pieces, const CompressionChoice& choice) {
    ComprimiRun run;
    SetMessageRecorder(Record, &run);
    run.result = ComprimiWith(cabDir.c_str(), base.c_str(), list.c_str(), maxSize, callbacks,
                              threads, progress, progressContext, pieces, choice);
    SetMessageRecorder(nullptr, nullptr);
    return run;
}

std::map<std::string, std::vector<uint8_t>> TakeCabinets(const ScratchDir& dir,
                                                         const std::string& base) {
    std::map<std::string, std::vector<uint8_t>> cabinets;
    for (const std::string& name : dir.Names()) {
        if (name.rfind(base, 0) == 0) {
            cabinets[name.substr(base.size())] = ReadBytes(dir.File(name));
            fs::remove(dir.File(name));
        }
    }
    return cabinets;
}

std::vector<std::string> CabinetSet(const std::string& dir, const std::string& first) {
    std::vector<std::string> set;
    std::string name = first;
    while (!name.empty() && set.size() < 1000) {
        set.push_back(dir + kSeparator + name);
        ReadCabinet cab = ReadCabinetFile(set.back());
        name = cab.nextCabinet;
    }
    return set;
}

int RunCommand(const std::string& command, std::string* output) {
    output->clear();
#ifdef _WIN32
    (void)command;
    return -1;
#else
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        output->append(chunk, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

void ExpectCabextractAgrees(const std::string& firstCabinet, const std::vector<Source>& sources) {
    fs::path first(firstCabinet);
    std::vector<std::string> set =
        CabinetSet(first.parent_path().string(), first.filename().string());
    for (const std::string& cabinet : set) {
        ReadCabinet cab = ReadCabinetFile(cabinet);
        EXPECT_EQ(cab.error, "") << cabinet;
    }
#ifndef _WIN32
    std::string out;
    fs::path into = first.parent_path() / "cabextract-out";
    fs::remove_all(into);
    fs::create_directory(into);
    EXPECT_EQ(
        RunCommand("cabextract -q -d " + Quote(into.string()) + " " + Quote(firstCabinet), &out), 0)
        << out;
    for (const Source& source : sources) {
        std::string extracted = (into / source.name).string();
        EXPECT_TRUE(ReadBytes(extracted) == ReadBytes(source.path)) << source.name;
        struct stat a, b;
        if (stat(extracted.c_str(), &a) == 0 && stat(source.path.c_str(), &b) == 0) {
            // DOS times have a 2-second step.
            EXPECT_LE(std::labs(long(a.st_mtime - b.st_mtime)), 2) << source.name;
            EXPECT_EQ((a.st_mode & S_IWUSR) != 0, (b.st_mode & S_IWUSR) != 0)
                << source.name << ": read-only attribute";
        } else {
            ADD_FAILURE() << source.name << " was not extracted";
        }
    }
    fs::remove_all(into);
#else
    (void)sources;
#endif
}

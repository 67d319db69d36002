// What the fuzz targets share.
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "compress/library_ui.h"

namespace fuzz {
namespace {

uint32_t NextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

uint32_t ConsumeSize(FuzzedDataProvider& in, uint32_t maxSize) {
    // Sizes at and around the block boundaries are where the code has its edges.
    // Large blocks cost the most time, so most blocks are small.
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return maxSize;
    case 1:
        return maxSize - std::min<uint32_t>(maxSize, in.ConsumeIntegralInRange<uint32_t>(0, 3));
    case 2:
        return in.ConsumeIntegralInRange<uint32_t>(0, maxSize);
    default:
        return in.ConsumeIntegralInRange<uint32_t>(0, std::min<uint32_t>(maxSize, 600));
    }
}

void Put(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())))
        Fail("cannot write " + path);
}

void Record(const char* title, const char* text, void* messages) {
    static_cast<std::vector<std::string>*>(messages)->push_back(std::string(title) + "|" + text);
}

} // namespace

void Fail(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
    std::abort();
}

std::vector<uint8_t> ConsumeBlock(FuzzedDataProvider& in, uint32_t maxSize) {
    int kind = in.ConsumeIntegralInRange<int>(0, 4);
    uint32_t size = ConsumeSize(in, maxSize);
    if (kind == 0) // the input itself
        return in.ConsumeBytes<uint8_t>(size);
    std::vector<uint8_t> block(size);
    std::vector<uint8_t> pattern =
        in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 64));
    if (pattern.empty())
        pattern.push_back(0);
    uint32_t state = in.ConsumeIntegral<uint32_t>() | 1;
    int alphabet = in.ConsumeIntegralInRange<int>(2, 16);
    // A tiny alphabet makes every hash chain long and the search slow; large blocks of
    // it would take most of the fuzzing time, so they get a wider alphabet.
    if (size > 4096)
        alphabet = std::max(alphabet, 12);
    int changeEvery = in.ConsumeIntegralInRange<int>(1, 4096);
    for (uint32_t i = 0; i < size; ++i) {
        if (kind == 3) // a small alphabet, as in text
            block[i] = pattern[NextRandom(state) % std::min<size_t>(alphabet, pattern.size())];
        else if (kind == 4) // incompressible
            block[i] = static_cast<uint8_t>(NextRandom(state) >> 7);
        else // a pattern repeated, with scattered changes in kind 2
            block[i] = kind == 2 && NextRandom(state) % changeEvery == 0
                           ? static_cast<uint8_t>(NextRandom(state))
                           : pattern[i % pattern.size()];
    }
    return block;
}

std::vector<uint8_t> ConsumeFile(FuzzedDataProvider& in, size_t maxBlocks, unsigned countShift) {
    const size_t want = in.ConsumeIntegralInRange<size_t>(0, maxBlocks * 32768);
    std::vector<uint8_t> data;
    while (data.size() < want) {
        std::vector<uint8_t> part = ConsumeBlock(in, 32768);
        if (part.empty())
            part.push_back(static_cast<uint8_t>(data.size() >> countShift));
        size_t repeat = in.ConsumeIntegralInRange<size_t>(1, 64);
        for (size_t r = 0; r < repeat && data.size() < want; ++r)
            data.insert(data.end(), part.begin(),
                        part.begin() + std::min(part.size(), want - data.size()));
    }
    return data;
}

std::string Trim(const std::string& text, const char* blanks) {
    const size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool Quoted(const std::string& v) {
    return v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
}

std::vector<std::string> ScriptLines(const std::string& text) {
    if (text.find('\0') != std::string::npos)
        Fail("a NUL byte in the script");
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        Fail("the script does not end with a line end");
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (lines.back().find_first_of("\r\n") != std::string::npos)
            Fail("a CR or LF without its pair in line " + std::to_string(lines.size()));
    }
    return lines;
}

void CheckNothingLeft(const cabinet_test::MemoryDisk& disk, const std::string& run,
                      bool spillMayStay) {
    if (!disk.misuse.empty())
        Fail(run + "callback misuse: " + disk.misuse);
    if (disk.OpenHandles() != 0)
        Fail(run + std::to_string(disk.OpenHandles()) + " handles left open");
    if (disk.liveAllocations != 0)
        Fail(run + std::to_string(disk.liveAllocations) + " memory blocks not released");
    for (const auto& f : disk.files)
        if (!spillMayStay && f.first.compare(0, 6, "spill-") == 0)
            Fail(run + "spill file left behind: " + f.first);
}

int RunComprimi(const velaset::compress::CabinetCallbacks& callbacks, const std::string& list,
                uint32_t maxCabSize, unsigned threads, std::vector<std::string>* messages,
                const velaset::compress::PieceSettings& pieces,
                const velaset::compress::CompressionChoice& choice) {
    messages->clear();
    velaset::compress::SetMessageRecorder(Record, messages);
    int result = velaset::compress::ComprimiWith("", "setup", list.c_str(), maxCabSize, callbacks,
                                                 threads, nullptr, nullptr, pieces, choice);
    velaset::compress::SetMessageRecorder(nullptr, nullptr);
    return result;
}

std::map<std::string, std::vector<uint8_t>>
BuildCabinets(const std::map<std::string, cabinet_test::SourceFile>& sources,
              const std::string& list, uint32_t maxCabSize, unsigned threads,
              const velaset::compress::PieceSettings& pieces,
              const velaset::compress::CompressionChoice& choice) {
    cabinet_test::MemoryDisk disk;
    disk.sources = sources;
    disk.libraryNames = true;
    std::vector<std::string> messages;
    const std::string run = std::to_string(threads) + " thread(s): ";
    if (RunComprimi(disk.Callbacks(), list, maxCabSize, threads, &messages, pieces, choice) != 1)
        Fail(run + "Comprimi failed: " + (messages.empty() ? "" : messages.front()));
    CheckNothingLeft(disk, run);
    return disk.files;
}

cabinet_test::CabinetSet CabinetsOf(const cabinet_test::MemoryDisk& disk,
                                    const std::function<std::string(int)>& name,
                                    const std::function<std::string(int)>& diskName) {
    cabinet_test::CabinetSet set;
    for (int n = 1; disk.files.count(name(n)) != 0; ++n) {
        set.cabinets.push_back(disk.files.at(name(n)));
        set.cabinetNames.push_back(name(n));
        set.diskNames.push_back(diskName(n));
    }
    return set;
}

const std::string& FixtureFolder() {
    // Never destroyed: the removal at exit still needs it.
    static const std::string& folder = *[] {
        const char* tmp = std::getenv("TMPDIR");
        auto path =
            new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/velaset-fuzz-XXXXXX");
        if (mkdtemp(&(*path)[0]) == nullptr)
            Fail("no fixture folder");
        for (const char* name : {"app.exe", "Guida lunga.hlp", "Documento largo.txt",
                                 "Documento lungo.txt", "Però.txt", "readme.txt"})
            Put(*path + "/" + name, std::string("contenuto di ") + name);
        std::filesystem::create_directories(*path + "/sub dir");
        std::filesystem::create_directories(*path + "/out");
        Put(*path + "/sub dir/lib.dll", "MZ");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FixtureFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

std::string WriteFixtureFile(const std::string& name, const void* data, size_t size) {
    const std::string path = FixtureFolder() + "/" + name;
    Put(path, std::string(static_cast<const char*>(data), size));
    return path;
}

InFixture::InFixture() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(FixtureFolder());
}

InFixture::~InFixture() {
    std::filesystem::current_path(previous_);
}

} // namespace fuzz

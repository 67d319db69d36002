// Fuzzes the compressing of large files in pieces on several threads: one to three
// arbitrary source files of up to sixteen blocks over an in-memory disk (a folder each),
// pieces of any size from four blocks, guesses from one to three lead blocks (one:
// nearly always wrong, three: nearly always right), two to four threads and cabinet
// size limits that make sets. The cabinet set must be the very one that one thread
// writes, and neither run may leave a handle, memory block or spill file behind.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/library_ui.h"
#include "compress/mszip.h"
#include "tests/compress/memory_disk.h"
#include "tests/fuzz/block_data.h"

using namespace velaset::compress;

namespace {

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_pieces: %s\n", what.c_str());
    std::abort();
}

struct Source {
    std::string name;
    cabinet_test::SourceFile file;
};

std::vector<std::string> gMessages;
void Record(const char* title, const char* text, void*) {
    gMessages.push_back(std::string(title) + "|" + text);
}

// The cabinets Comprimi writes for the list over a fresh disk with the sources.
std::map<std::string, std::vector<uint8_t>> Build(const std::vector<Source>& sources,
                                                  const std::string& list, uint32_t limit,
                                                  unsigned threads, const PieceSettings& pieces) {
    cabinet_test::MemoryDisk disk;
    for (const Source& s : sources)
        disk.sources[s.name] = s.file;
    CabinetCallbacks cb = disk.Callbacks();
    cb.nextCabinet = PlatformCallbacks().nextCabinet; // the library's own naming rule
    gMessages.clear();
    SetMessageRecorder(Record, nullptr);
    int result =
        ComprimiWith("", "setup", list.c_str(), limit, cb, threads, nullptr, nullptr, pieces);
    SetMessageRecorder(nullptr, nullptr);
    const std::string run = std::to_string(threads) + " thread(s): ";
    if (result != 1)
        Fail(run + "Comprimi failed: " + (gMessages.empty() ? "" : gMessages.front()));
    if (!disk.misuse.empty())
        Fail(run + "callback misuse: " + disk.misuse);
    if (disk.OpenHandles() != 0 || disk.liveAllocations != 0)
        Fail(run + "handles or memory left behind");
    std::map<std::string, std::vector<uint8_t>> cabinets;
    for (const auto& f : disk.files) {
        if (f.first.compare(0, 6, "spill-") == 0)
            Fail(run + "spill file left behind: " + f.first);
        cabinets[f.first] = f.second;
    }
    return cabinets;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const unsigned threads = in.ConsumeIntegralInRange<unsigned>(2, 4);
    PieceSettings pieces;
    pieces.bytes = in.ConsumeIntegralInRange<uint32_t>(0, 6 * MSZIP_MAX_BLOCK_SIZE);
    pieces.leadBlocks = in.ConsumeIntegralInRange<uint32_t>(1, 3);
    const uint32_t limit = in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange<uint32_t>(3000, 300000);

    std::vector<Source> sources;
    std::string list;
    const int fileCount = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < fileCount; ++i) {
        Source s;
        s.name = "f" + std::to_string(i);
        const size_t want = in.ConsumeIntegralInRange<size_t>(0, 16 * MSZIP_MAX_BLOCK_SIZE);
        // Pieces of fuzz-made blocks; once the input is spent, a plain count goes on.
        while (s.file.data.size() < want) {
            std::vector<uint8_t> part = fuzz::ConsumeBlock(in, MSZIP_MAX_BLOCK_SIZE);
            if (part.empty())
                part.push_back(static_cast<uint8_t>(s.file.data.size() >> 7));
            size_t repeat = in.ConsumeIntegralInRange<size_t>(1, 64);
            for (size_t r = 0; r < repeat && s.file.data.size() < want; ++r)
                s.file.data.insert(s.file.data.end(), part.begin(),
                                   part.begin() + std::min(part.size(), want - s.file.data.size()));
        }
        s.file.date = static_cast<uint16_t>(0x5A21 + i);
        s.file.time = static_cast<uint16_t>(0x6000 + i);
        list += (list.empty() ? "" : "+") + s.name;
        sources.push_back(s);
    }

    auto one = Build(sources, list, limit, 1, pieces);
    auto many = Build(sources, list, limit, threads, pieces);
    if (one != many)
        Fail(std::to_string(threads) + " threads with pieces of " + std::to_string(pieces.bytes) +
             " bytes and " + std::to_string(pieces.leadBlocks) +
             " lead blocks give other cabinets than one thread");
    return 0;
}

// Fuzzes the compressing of large files in pieces on several threads: one to three
// arbitrary source files of up to sixteen blocks over an in-memory disk (a folder each),
// pieces of any size from four blocks, guesses from one to three lead blocks (one:
// nearly always wrong, three: nearly always right), two to four threads and cabinet
// size limits that make sets. The cabinet set must be the very one that one thread
// writes, and neither run may leave a handle, memory block or spill file behind.
#include <map>
#include <string>
#include <vector>

#include "compress/mszip.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const unsigned threads = in.ConsumeIntegralInRange<unsigned>(2, 4);
    PieceSettings pieces;
    pieces.bytes = in.ConsumeIntegralInRange<uint32_t>(0, 6 * MSZIP_MAX_BLOCK_SIZE);
    pieces.leadBlocks = in.ConsumeIntegralInRange<uint32_t>(1, 3);
    const uint32_t limit = in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange<uint32_t>(3000, 300000);

    std::map<std::string, cabinet_test::SourceFile> sources;
    std::string list;
    const int fileCount = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = "f" + std::to_string(i);
        cabinet_test::SourceFile& file = sources[name];
        file.data = fuzz::ConsumeFile(in, 16, 7);
        file.date = static_cast<uint16_t>(0x5A21 + i);
        file.time = static_cast<uint16_t>(0x6000 + i);
        list += (list.empty() ? "" : "+") + name;
    }
    if (fuzz::BuildCabinets(sources, list, limit, 1, pieces) !=
        fuzz::BuildCabinets(sources, list, limit, threads, pieces))
        Fail(std::to_string(threads) + " threads with pieces of " + std::to_string(pieces.bytes) +
             " bytes and " + std::to_string(pieces.leadBlocks) +
             " lead blocks give other cabinets than one thread");
    return 0;
}

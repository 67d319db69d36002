// Fuzzes LZX folders: one to three arbitrary source files over an in-memory disk, joined
// into one folder or not, with small segments and blocks so that short inputs cross
// their boundaries, any window from 32 KB to 2 MB, E8 translation on or off. One thread
// and two must write the same cabinet, and libmspack must extract every file from it as
// it was.
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/compress/oracles.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int windowBits = in.ConsumeIntegralInRange<int>(15, 21);
    CompressionChoice choice = {LzxCompressionType(windowBits), true, kDefaultLzx};
    LzxParserSettings& p = choice.lzx.parser;
    p.windowBits = windowBits;
    p.segmentBytes = 32768 * in.ConsumeIntegralInRange<uint32_t>(1, 4);
    p.historyBytes = in.ConsumeIntegralInRange<uint32_t>(0, 70000);
    p.blockFrames = in.ConsumeIntegralInRange<uint32_t>(1, 3);
    p.passes = in.ConsumeIntegralInRange<uint32_t>(1, 2);
    p.depth = in.ConsumeIntegralInRange<uint32_t>(1, 12);
    p.niceLength = in.ConsumeIntegralInRange<uint32_t>(3, 257);
    choice.lzx.translationSize =
        in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange<int32_t>(1, 1 << 30);

    std::map<std::string, cabinet_test::SourceFile> sources;
    std::string list;
    const int fileCount = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = "f" + std::to_string(i);
        sources[name].data = fuzz::ConsumeFile(in, 5, 5);
        if (i > 0)
            list += in.ConsumeBool() ? "|" : "+";
        list += name;
    }
    const auto one = fuzz::BuildCabinets(sources, list, 0, 1, kDefaultPieces, choice);
    if (one.size() != 1)
        Fail(std::to_string(one.size()) + " files written");
    if (fuzz::BuildCabinets(sources, list, 0, 2, kDefaultPieces, choice) != one)
        Fail("two threads give another cabinet than one");
    const std::vector<uint8_t>& cabinet = one.begin()->second;

    // Every file as libmspack extracts it.
    char folder[] = "/tmp/fuzz_lzx_XXXXXX";
    if (mkdtemp(folder) == nullptr)
        Fail("no temporary folder");
    const std::string dir = folder;
    std::ofstream(dir + "/setup.CAB", std::ios::binary)
        .write(reinterpret_cast<const char*>(cabinet.data()),
               static_cast<std::streamsize>(cabinet.size()));
    const std::string failure = mszip_test::ExtractWithLibmspack(dir + "/setup.CAB", dir);
    if (!failure.empty())
        Fail(failure);
    for (const auto& s : sources) {
        std::vector<uint8_t> extracted;
        if (!mszip_test::ReadFile(dir + "/" + s.first, extracted) || extracted != s.second.data)
            Fail("libmspack gives other bytes for " + s.first);
    }
    std::system(("rm -rf " + dir).c_str());
    return 0;
}

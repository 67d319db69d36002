// Fuzzes LZX folders: one to three arbitrary source files over an in-memory disk, joined
// into one folder or not, with small segments and blocks so that short inputs cross
// their boundaries, any window from 32 KB to 2 MB, E8 translation on or off. One thread
// and two must write the same cabinet, and libmspack must extract every file from it as
// it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/library_ui.h"
#include "tests/compress/memory_disk.h"
#include "tests/compress/oracles.h"
#include "tests/fuzz/block_data.h"

using namespace velaset::compress;

namespace {

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_lzx: %s\n", what.c_str());
    std::abort();
}

void Quiet(const char*, const char*, void*) {}

std::vector<uint8_t> Build(const std::map<std::string, cabinet_test::SourceFile>& sources,
                           const std::string& list, unsigned threads,
                           const CompressionChoice& choice) {
    cabinet_test::MemoryDisk disk;
    disk.sources = sources;
    SetMessageRecorder(Quiet, nullptr);
    int result = ComprimiWith("", "setup", list.c_str(), 0, disk.Callbacks(), threads, nullptr,
                              nullptr, kDefaultPieces, choice);
    SetMessageRecorder(nullptr, nullptr);
    if (result != 1 || !disk.misuse.empty() || disk.OpenHandles() != 0 ||
        disk.liveAllocations != 0 || disk.files.size() != 1)
        Fail(std::to_string(threads) + " thread(s): the build failed or left something behind");
    return disk.files.begin()->second;
}

// Extracts every file of the cabinet with libmspack; name -> bytes.
std::map<std::string, std::vector<uint8_t>> Extract(const std::vector<uint8_t>& cab,
                                                    const std::vector<std::string>& names) {
    char folder[] = "/tmp/fuzz_lzx_XXXXXX";
    if (mkdtemp(folder) == nullptr)
        Fail("no temporary folder");
    const std::string dir = folder, path = dir + "/setup.CAB";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(cab.data()), static_cast<std::streamsize>(cab.size()));
    std::string failure = mszip_test::ExtractWithLibmspack(path, dir);
    if (!failure.empty())
        Fail(failure);
    std::map<std::string, std::vector<uint8_t>> files;
    for (const std::string& name : names)
        if (!mszip_test::ReadFile(dir + "/" + name, files[name]))
            Fail("libmspack gives no " + name);
    std::system(("rm -rf " + dir).c_str());
    return files;
}

} // namespace

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
        cabinet_test::SourceFile file;
        const size_t want = in.ConsumeIntegralInRange<size_t>(0, 5 * 32768);
        while (file.data.size() < want) {
            std::vector<uint8_t> part = fuzz::ConsumeBlock(in, 32768);
            if (part.empty())
                part.push_back(static_cast<uint8_t>(file.data.size() >> 5));
            size_t repeat = in.ConsumeIntegralInRange<size_t>(1, 64);
            for (size_t r = 0; r < repeat && file.data.size() < want; ++r)
                file.data.insert(file.data.end(), part.begin(),
                                 part.begin() + std::min(part.size(), want - file.data.size()));
        }
        const std::string name = "f" + std::to_string(i);
        if (i > 0)
            list += in.ConsumeBool() ? "|" : "+";
        list += name;
        sources[name] = file;
    }
    const std::vector<uint8_t> one = Build(sources, list, 1, choice);
    if (Build(sources, list, 2, choice) != one)
        Fail("two threads give another cabinet than one");
    std::vector<std::string> names;
    for (const auto& s : sources)
        names.push_back(s.first);
    const auto files = Extract(one, names);
    for (const auto& s : sources) {
        auto found = files.find(s.first);
        if (found == files.end() || found->second != s.second.data)
            Fail("libmspack gives other bytes for " + s.first);
    }
    return 0;
}

// Fuzzes Comprimi's file list: arbitrary "+"-separated lists over an in-memory disk
// that holds a few source files, with one to three compressing threads and cabinet
// size limits that make sets. The parser must split the list exactly (also when memory
// runs out at any request), and Comprimi must answer 1 exactly when every path names a
// source, with a cabinet set that holds those files in list order, one folder per "+";
// otherwise 0 with its messages.
#include <cstring>

#include "compress/client.h"
#include "compress/entry_table.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

namespace {

struct Entry {
    bool folderClose;
    std::string path;
};

// The list as the format defines it: every "+" ends the path before it (even an empty
// one) and closes the folder; a non-empty text after the last "+" is the final path.
std::vector<Entry> SplitList(const std::string& list) {
    std::vector<Entry> entries;
    size_t start = 0;
    for (size_t plus; (plus = list.find('+', start)) != std::string::npos; start = plus + 1) {
        entries.push_back({false, list.substr(start, plus - start)});
        entries.push_back({true, ""});
    }
    if (start < list.size())
        entries.push_back({false, list.substr(start)});
    return entries;
}

void CheckParser(const std::string& list, uint64_t failAt) {
    cabinet_test::MemoryDisk disk;
    disk.failAt = failAt;
    CabinetCallbacks cb = disk.Callbacks();
    EntryTable table;
    bool parsed = ParseFileList(list.c_str(), cb.alloc, cb.release, &table);
    if (!parsed && disk.failedKind.empty())
        Fail("the parser failed with memory to spare");
    if (!parsed && table.count != 0)
        Fail("a failed parse left entries");
    if (parsed) {
        std::vector<Entry> expected = SplitList(list);
        if (table.count != expected.size())
            Fail("parsed " + std::to_string(table.count) + " entries for " +
                 std::to_string(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const char* got = table.entries[i];
            if (expected[i].folderClose ? got != nullptr
                                        : got == nullptr || expected[i].path != got)
                Fail("entry " + std::to_string(i + 1) + " differs");
        }
    }
    FreeEntryTable(&table);
    if (disk.liveAllocations != 0)
        Fail("the parser leaks memory");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int limit = in.ConsumeIntegralInRange<int>(0, 2);
    const uint32_t maxCabSize = limit == 0   ? 145000000
                                : limit == 1 ? in.ConsumeIntegralInRange<uint32_t>(400, 20000)
                                             : 0;
    unsigned threads = in.ConsumeIntegralInRange<unsigned>(1, 3);
    uint64_t parserFailAt = in.ConsumeIntegralInRange<uint64_t>(0, 40);
    std::string list = in.ConsumeRemainingBytesAsString();
    list = list.substr(0, list.find('\0'));
    CheckParser(list, parserFailAt);

    cabinet_test::MemoryDisk disk;
    // The sources: short texts, one of them two full blocks, and names with a folder.
    const char* names[] = {"a", "b.txt", "dir/c.dat", "dir/sub/DOC~1.TXT", "Però.txt", "x y"};
    for (size_t i = 0; i < sizeof names / sizeof *names; ++i) {
        cabinet_test::SourceFile& s = disk.sources[names[i]];
        size_t length = i == 1 ? 70000 : 100 + 37 * i;
        for (size_t k = 0; k < length; ++k)
            s.data.push_back(static_cast<uint8_t>("velaset "[k % 8] + (k / 997) % 3));
        s.date = static_cast<uint16_t>(0x5A21 + i);
        s.time = static_cast<uint16_t>(0x6000 + i);
        s.attributes = static_cast<uint16_t>(i & 0x27);
    }

    std::vector<cabinet_test::ExpectedFile> expected;
    bool canSucceed = true;
    bool closeBefore = false;
    for (const Entry& e : SplitList(list)) {
        if (e.folderClose) {
            closeBefore = true;
            continue;
        }
        auto found = disk.sources.find(e.path);
        const char* stored = StoredName(e.path.c_str());
        if (found == disk.sources.end() || std::strlen(stored) > 255) {
            canSucceed = false;
            break;
        }
        const cabinet_test::SourceFile& s = found->second;
        expected.push_back({stored, s.data, s.date, s.time, s.attributes, closeBefore});
        closeBefore = false;
    }

    disk.libraryNames = true;
    std::vector<std::string> messages;
    int result = fuzz::RunComprimi(disk.Callbacks(), list, maxCabSize, threads, &messages);
    fuzz::CheckNothingLeft(disk, "");
    if (result != (canSucceed ? 1 : 0))
        Fail("Comprimi answered " + std::to_string(result) + " for a list that " +
             (canSucceed ? "names only sources" : "names a missing file"));
    if (!canSucceed) {
        if (messages.empty() || messages.back() != "DarEvizeza|Impossibile creare il file CAB!!!")
            Fail("a failure without the closing message");
        return 0;
    }
    if (!messages.empty())
        Fail("a message on success: " + messages.front());

    cabinet_test::CabinetSet set = fuzz::CabinetsOf(
        disk,
        [](int n) {
            char name[120];
            CabinetName("setup", n, name, sizeof name);
            return std::string(name);
        },
        [](int) { return std::string("setup"); });
    set.setId = 12345;
    set.sizeLimit = maxCabSize == 0 ? 0x7FFFFFF : maxCabSize;
    std::string problem = cabinet_test::CheckCabinetSet(set, expected);
    if (!problem.empty())
        Fail(problem);
    return 0;
}

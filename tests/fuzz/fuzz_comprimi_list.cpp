// Fuzzes Comprimi's file list: arbitrary "+"-separated lists over an in-memory disk
// that holds a few source files, with one to three compressing threads and cabinet
// size limits that make sets. The parser must split the list exactly (also when memory
// runs out at any request), and Comprimi must answer 1 exactly when every path names a
// source, with a cabinet set that holds those files in list order, one folder per "+";
// otherwise 0 with its messages.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/entry_table.h"
#include "compress/library_ui.h"
#include "tests/compress/cabinet_check.h"
#include "tests/compress/memory_disk.h"

using namespace velaset::compress;

namespace {

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_comprimi_list: %s\n", what.c_str());
    std::abort();
}

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

std::vector<std::string> messages;
void Record(const char* title, const char* text, void*) {
    messages.push_back(std::string(title) + "|" + text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    uint32_t maxCabSize = 0;
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        maxCabSize = 145000000;
        break;
    case 1:
        maxCabSize = in.ConsumeIntegralInRange<uint32_t>(400, 20000);
        break;
    }
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
        cabinet_test::ExpectedFile f;
        f.name = stored;
        f.data = found->second.data;
        f.date = found->second.date;
        f.time = found->second.time;
        f.attributes = found->second.attributes;
        f.newFolder = closeBefore;
        closeBefore = false;
        expected.push_back(f);
    }

    disk.libraryNames = true;
    CabinetCallbacks cb = disk.Callbacks();
    messages.clear();
    SetMessageRecorder(Record, nullptr);
    int result = ComprimiWith("", "setup", list.c_str(), maxCabSize, cb, threads);
    SetMessageRecorder(nullptr, nullptr);

    if (!disk.misuse.empty())
        Fail("callback misuse: " + disk.misuse);
    if (disk.OpenHandles() != 0 || disk.liveAllocations != 0)
        Fail("handles or memory left behind");
    for (const auto& f : disk.files)
        if (f.first.compare(0, 6, "spill-") == 0)
            Fail("spill file left behind: " + f.first);
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

    cabinet_test::CabinetSet set;
    set.setId = 12345;
    set.sizeLimit = maxCabSize == 0 ? 0x7FFFFFF : maxCabSize;
    for (int n = 1;; ++n) {
        char name[120];
        CabinetName("setup", n, name, sizeof name);
        auto found = disk.files.find(name);
        if (found == disk.files.end())
            break;
        set.cabinets.push_back(found->second);
        set.cabinetNames.push_back(name);
        set.diskNames.push_back("setup");
    }
    std::string problem = cabinet_test::CheckCabinetSet(set, expected);
    if (!problem.empty())
        Fail(problem);
    return 0;
}

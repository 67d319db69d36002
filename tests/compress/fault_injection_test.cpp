// Fault injection: the in-memory disk fails the k-th call of one kind (once, or from
// then on) for every k a small build reaches. Every run must end with the right code
// and message, or succeed when the writer may recover, and must leak no memory, handle,
// spill file or partial cabinet.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "compress/error_text.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"
#include "tests/compress/memory_disk.h"

using namespace velaset::compress;
using cabinet_test::MemoryDisk;

namespace {

const char* const kKinds[] = {"alloc",      "open",         "read",     "write",
                              "seek",       "close",        "delete",   "tempname",
                              "opensource", "next cabinet", "progress", "placed"};
const char* const kSources[] = {"a.bin", "b.txt", "c.dat", "d.txt"};
const uint32_t kLimit = 18000; // small enough for a set of cabinets with split blocks

// When the writer rightly goes on: a retried temporary name, an unchecked close of a source.
const int kRecovers = -1;

bool IsSpill(const std::string& file) {
    return file.compare(0, 6, "spill-") == 0;
}
bool IsSource(const std::string& file) {
    for (const char* source : kSources)
        if (file == source)
            return true;
    return false;
}

// The code a failed call of `kind` on `file` must give.
int ExpectedCode(const std::string& kind, const std::string& file, bool persistent) {
    int onSpill = 4, onCabinet = 6;
    auto byFile = [&](int onSource) {
        return IsSpill(file) ? onSpill : IsSource(file) ? onSource : onCabinet;
    };
    if (kind == "alloc")
        return 3;
    if (kind == "open") // a spill is retried with another name
        return IsSpill(file) ? (persistent ? 4 : kRecovers) : onCabinet;
    if (kind == "tempname")
        return persistent ? 4 : kRecovers;
    if (kind == "opensource")
        return 1;
    if (kind == "read")
        return byFile(2);
    if (kind == "write" || kind == "seek")
        return byFile(0);
    if (kind == "close")
        return byFile(kRecovers);
    if (kind == "delete")
        return 4;
    return 7; // the client's own decisions: next cabinet, progress, file placed
}

// The disk with the sources, and Comprimi run over it.
ComprimiRun BuildOn(MemoryDisk& disk) {
    const std::vector<uint8_t> contents[] = {
        RandomBytes(40000, 1), TextBytes(60000), {}, TextBytes(3000)};
    std::string list;
    for (int i = 0; i < 4; i++) {
        disk.sources[kSources[i]].data = contents[i];
        list += (i ? "+" : "") + std::string(kSources[i]);
    }
    disk.libraryNames = true;
    return RunComprimi("", "base", list, kLimit, disk.Callbacks(), 1);
}

// Cabinets written in a run without faults, and how often each kind of call is made.
struct Baseline {
    std::map<std::string, std::vector<uint8_t>> cabinets;
    std::map<std::string, uint64_t> calls;
};

const Baseline& TheBaseline() {
    static const Baseline baseline = [] {
        MemoryDisk disk;
        EXPECT_EQ(BuildOn(disk).result, 1);
        return Baseline{disk.files, disk.callsOf};
    }();
    return baseline;
}

void RunWithFault(const std::string& kind, uint64_t k, bool persistent) {
    SCOPED_TRACE(kind + " call " + std::to_string(k) + (persistent ? " and later" : " only"));
    MemoryDisk disk;
    disk.failKind = kind;
    disk.failAt = k;
    disk.persistent = persistent;
    ComprimiRun run = BuildOn(disk);

    EXPECT_EQ(disk.misuse, "");
    EXPECT_EQ(disk.liveAllocations, 0) << "allocations leaked";
    EXPECT_EQ(disk.OpenHandles(), 0u) << "handles left open";
    int expected = kRecovers;
    for (const auto& failure : disk.failures) {
        expected = ExpectedCode(failure.first, failure.second, persistent);
        if (expected != kRecovers)
            break;
    }
    for (const auto& file : disk.files)
        EXPECT_FALSE(IsSpill(file.first)) << file.first << " left";
    if (expected == kRecovers) {
        EXPECT_EQ(run.result, 1);
        EXPECT_TRUE(run.messages.empty());
        EXPECT_TRUE(disk.files == TheBaseline().cabinets) << "a recovered run writes the same set";
        return;
    }
    EXPECT_EQ(run.result, 0);
    ASSERT_GE(run.messages.size(), 2u);
    EXPECT_EQ(run.messages.back().first, "DarEvizeza");
    EXPECT_EQ(run.messages.back().second, "Impossibile creare il file CAB!!!");
    const std::string& report = run.messages[run.messages.size() - 2].second;
    if (run.messages.size() == 3 || report == "ERRORE") {
        // Memory ran out while the list was parsed.
        EXPECT_EQ(kind, "alloc");
        EXPECT_EQ(report, "ERRORE");
    } else {
        std::string code = "code " + std::to_string(expected) + " [" + CabErrorText(expected) + "]";
        EXPECT_NE(report.find(code), std::string::npos) << report << " should hold " << code;
        EXPECT_EQ(report.back(), '\n');
    }
    // Only complete cabinets of the set may stay.
    for (const auto& file : disk.files) {
        EXPECT_EQ(ReadCabinetBytes(file.second).error, "") << file.first << " is not complete";
        auto same = TheBaseline().cabinets.find(file.first);
        EXPECT_TRUE(same != TheBaseline().cabinets.end() && same->second == file.second)
            << file.first;
    }
}

} // namespace

TEST(FaultInjection, BaselineSetIsExtractedAndMakesEveryKindOfCall) {
    ASSERT_GE(TheBaseline().cabinets.size(), 3u);
    for (const auto& cabinet : TheBaseline().cabinets)
        EXPECT_EQ(ReadCabinetBytes(cabinet.second).error, "") << cabinet.first;
#ifndef _WIN32
    ScratchDir dir;
    for (const auto& cabinet : TheBaseline().cabinets)
        WriteFile(dir.File(cabinet.first), cabinet.second);
    std::string out;
    ASSERT_EQ(RunCommand("cd '" + dir.path() + "' && cabextract -q -d out base.CAB", &out), 0)
        << out;
    MemoryDisk disk;
    BuildOn(disk);
    for (const auto& source : disk.sources)
        EXPECT_TRUE(ReadBytes(dir.File("out/" + source.first)) == source.second.data)
            << source.first;
#endif
    for (const char* kind : kKinds)
        EXPECT_GT(TheBaseline().calls.count(kind), 0u) << kind << " is never called";
}

TEST(FaultInjection, EveryFailingCallOnceOrFromThenOnEndsCleanly) {
    for (bool persistent : {false, true})
        for (const char* kind : kKinds)
            for (uint64_t k = 1; k <= TheBaseline().calls.at(kind); k++) {
                RunWithFault(kind, k, persistent);
                if (testing::Test::HasFatalFailure())
                    return;
            }
}

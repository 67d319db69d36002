// Work shared among threads gives the same cabinets, byte for byte, as one thread: folders
// compressed ahead, and large files cut into pieces whether the guesses at the pieces'
// starts are right (three lead blocks, nearly always), often wrong (two) or always wrong
// (one, which only primes), also when workers cannot make spill files, seek or get
// memory. Failures of a source are met as with one thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/compress/cabinet_test_support.h"
#include "tests/compress/test_data.h"

using namespace velaset::compress;

namespace {

const uint32_t kBlock = 32768;
using Cabinets = std::map<std::string, std::vector<uint8_t>>;

// Every kind of data in stretches, with copies near and far: matches of every length
// across block boundaries.
std::vector<uint8_t> MixedBytes(size_t count, uint32_t seed) {
    return mszip_test::MakeData(mszip_test::DataKind::Mixed, count, seed);
}

// Callbacks that fail on workers only: the caller's thread is gCaller.
std::thread::id gCaller;
bool OnWorker() {
    return std::this_thread::get_id() != gCaller;
}

class SharedWork : public ::testing::Test {
  protected:
    void SetUp() override { gCaller = std::this_thread::get_id(); }
    void Add(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(dir_.File(name), bytes);
        list_ += (list_.empty() ? "" : "+") + dir_.File(name);
        sources_.push_back({dir_.File(name), name});
    }
    // Nine files of 0 to 300000 bytes, text and random.
    void AddNineFiles() {
        for (int i = 0; i < 9; i++) {
            size_t size = i == 4 ? 0 : 5000 + 37000 * i;
            Add("f" + std::to_string(i) + (i % 3 == 0 ? ".bin" : ".txt"),
                i % 3 == 0 ? RandomBytes(size, i) : TextBytes(size));
        }
    }
    // The cabinets of the list with one thread; checked by cabextract.
    Cabinets OneThread(uint32_t limit) {
        ComprimiRun run = RunComprimi(dir_.CabDir(), "p", list_, limit, PlatformCallbacks(), 1);
        EXPECT_EQ(run.result, 1);
        ExpectCabextractAgrees(dir_.File("p.CAB"), sources_);
        return TakeCabinets(dir_, "p");
    }
    Cabinets Run(uint32_t limit, unsigned threads, PieceSettings pieces = kDefaultPieces,
                 const CabinetCallbacks& callbacks = PlatformCallbacks()) {
        ComprimiRun run = RunComprimi(dir_.CabDir(), "p", list_, limit, callbacks, threads, nullptr,
                                      nullptr, pieces);
        EXPECT_EQ(run.result, 1);
        for (const auto& message : run.messages)
            ADD_FAILURE() << message.first << ": " << message.second;
        EXPECT_TRUE(dir_.SpillFiles().empty());
        return TakeCabinets(dir_, "p");
    }
    // The list fails on 2 and 3 threads with the messages of one thread, leaving nothing.
    void ExpectFailsAsOnOneThread(const std::string& list, const CabinetCallbacks& callbacks,
                                  const std::string& message) {
        ComprimiRun one = RunComprimi(dir_.CabDir(), "one", list, 0, callbacks, 1);
        EXPECT_EQ(one.result, 0);
        ASSERT_FALSE(one.messages.empty());
        EXPECT_NE(one.messages.front().second.find(message), std::string::npos);
        for (unsigned threads : {2u, 3u}) {
            ComprimiRun many = RunComprimi(dir_.CabDir(), "many", list, 0, callbacks, threads,
                                           nullptr, nullptr, {4 * kBlock, 3});
            EXPECT_EQ(many.result, 0);
            EXPECT_EQ(many.messages, one.messages);
        }
        EXPECT_TRUE(dir_.SpillFiles().empty());
        EXPECT_TRUE(TakeCabinets(dir_, "one").empty());
        EXPECT_TRUE(TakeCabinets(dir_, "many").empty());
    }
    ScratchDir dir_;
    std::string list_;
    std::vector<Source> sources_;
};

TEST_F(SharedWork, FoldersAheadGiveTheSameCabinetsForAnyLimitAndThreadCount) {
    AddNineFiles();
    for (uint32_t limit : {0u, 150000u, 40000u, 23456u}) {
        SCOPED_TRACE("size limit " + std::to_string(limit));
        Cabinets expected = OneThread(limit);
        for (unsigned threads : {2u, 3u})
            EXPECT_TRUE(Run(limit, threads) == expected) << threads << " threads";
    }
}

TEST_F(SharedWork, FilePiecesGiveTheSameCabinetsWhateverTheGuesses) {
    Add("mixed.bin", MixedBytes(45 * kBlock + 1234, 1));
    Add("small.txt", TextBytes(9000));
    Add("runs.bin", MixedBytes(21 * kBlock, 2)); // whole blocks only
    Add("tail.bin", MixedBytes(9 * kBlock + 1, 3));
    for (uint32_t limit : {0u, 400000u}) {
        Cabinets expected = OneThread(limit);
        for (uint32_t leadBlocks : {1u, 2u, 3u})
            for (uint32_t pieceBytes : {4 * kBlock, 7 * kBlock + 100})
                for (unsigned threads : {2u, 3u, 4u}) {
                    SCOPED_TRACE("limit " + std::to_string(limit) + ", lead " +
                                 std::to_string(leadBlocks) + ", pieces of " +
                                 std::to_string(pieceBytes) + ", " + std::to_string(threads) +
                                 " threads");
                    EXPECT_TRUE(Run(limit, threads, {pieceBytes, leadBlocks}) == expected);
                }
    }
}

TEST_F(SharedWork, OneLargeFileAloneIsSharedToo) {
    Add("alone.bin", MixedBytes(30 * kBlock + 77, 4));
    Cabinets expected = OneThread(0);
    for (uint32_t leadBlocks : {1u, 3u})
        EXPECT_TRUE(Run(0, 2, {4 * kBlock, leadBlocks}) == expected) << leadBlocks;
}

// Temporary names fail on workers: no worker can make its spill file.
bool CallerOnlyTempName(char* buffer, int size, void* context) {
    return !OnWorker() && ClientTempName(buffer, size, context);
}
long SeekNowhereOnWorkers(int handle, long distance, int origin, int* err, void* context) {
    if (OnWorker() && distance != 0) {
        *err = EINVAL;
        return -1;
    }
    return PlatformCallbacks().seek(handle, distance, origin, err, context);
}
std::atomic<int> gWorkerCalls{0};
int gFailFrom = 0;
void* AllocSomeOnWorkers(uint32_t size) {
    if (OnWorker() && ++gWorkerCalls >= gFailFrom)
        return nullptr;
    return PlatformCallbacks().alloc(size);
}

TEST_F(SharedWork, WhatWorkersCannotDoIsDoneOnTheCallersThread) {
    AddNineFiles();
    CabinetCallbacks cb = PlatformCallbacks();
    cb.tempName = CallerOnlyTempName;
    EXPECT_TRUE(Run(40000, 2, kDefaultPieces, cb) == OneThread(40000));
}

TEST_F(SharedWork, FilePiecesOnWorkersThatCannotSeekOrGetMemoryChangeNothing) {
    Add("mixed.bin", MixedBytes(33 * kBlock + 5, 5));
    Add("more.bin", MixedBytes(17 * kBlock, 6));
    Cabinets expected = OneThread(0);
    // No guess can seek to its lead: the first worker's run goes through each file.
    CabinetCallbacks cb = PlatformCallbacks();
    cb.seek = SeekNowhereOnWorkers;
    EXPECT_TRUE(Run(0, 3, {4 * kBlock, 3}, cb) == expected);
    // Memory runs out on the workers at some request: whatever they were doing is given
    // up, and the rest is done by others or on the caller's thread.
    cb = PlatformCallbacks();
    cb.alloc = AllocSomeOnWorkers;
    for (int from : {1, 2, 3, 5, 8, 13, 21, 34}) {
        gWorkerCalls = 0;
        gFailFrom = from;
        EXPECT_TRUE(Run(0, 3, {4 * kBlock, 3}, cb) == expected) << from;
    }
}

TEST_F(SharedWork, MissingSourceFailsAsWithOneThread) {
    AddNineFiles();
    ExpectFailsAsOnOneThread(list_ + "+" + dir_.File("missing.txt") + "+" + dir_.File("f1.txt"),
                             PlatformCallbacks(), "code 1");
}

// A source that cannot be read from a chosen offset on, on any thread.
std::mutex gReadLock;
std::map<int, uint32_t> gPositions; // source handle -> bytes read through it
uint32_t gBadFrom = 0;
int OpenSourceTracked(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes,
                      int* err, void* context) {
    int handle = PlatformCallbacks().openSource(path, date, time, attributes, err, context);
    std::lock_guard<std::mutex> hold(gReadLock);
    if (handle != -1 && std::strstr(path, "bad.bin") != nullptr)
        gPositions[handle] = 0;
    return handle;
}
long SeekTracked(int handle, long distance, int origin, int* err, void* context) {
    long at = PlatformCallbacks().seek(handle, distance, origin, err, context);
    std::lock_guard<std::mutex> hold(gReadLock);
    if (at >= 0 && gPositions.count(handle) != 0)
        gPositions[handle] = static_cast<uint32_t>(at);
    return at;
}
int ReadTracked(int handle, void* buffer, uint32_t count, int* err, void* context) {
    {
        std::lock_guard<std::mutex> hold(gReadLock);
        auto found = gPositions.find(handle);
        if (found != gPositions.end() && found->second + count > gBadFrom) {
            *err = EIO;
            return -1;
        }
    }
    int n = PlatformCallbacks().read(handle, buffer, count, err, context);
    std::lock_guard<std::mutex> hold(gReadLock);
    auto found = gPositions.find(handle);
    if (found != gPositions.end() && n > 0)
        found->second += static_cast<uint32_t>(n);
    return n;
}
int CloseTracked(int handle, int* err, void* context) {
    {
        std::lock_guard<std::mutex> hold(gReadLock);
        gPositions.erase(handle);
    }
    return PlatformCallbacks().close(handle, err, context);
}

TEST_F(SharedWork, UnreadableStretchOfALargeFileFailsAsWithOneThread) {
    Add("first.txt", TextBytes(40000));
    Add("bad.bin", MixedBytes(24 * kBlock, 7));
    Add("last.txt", TextBytes(50000));
    CabinetCallbacks cb = PlatformCallbacks();
    cb.openSource = OpenSourceTracked;
    cb.seek = SeekTracked;
    cb.read = ReadTracked;
    cb.close = CloseTracked;
    // Early (only the first worker's run meets it), in a guess's lead, inside a guessed
    // piece, in the last piece.
    for (uint32_t badFrom : {3 * kBlock, 6 * kBlock + 10, 13 * kBlock, 23 * kBlock + 500}) {
        SCOPED_TRACE("unreadable from " + std::to_string(badFrom));
        gBadFrom = badFrom;
        ExpectFailsAsOnOneThread(list_, cb, "code 2");
    }
}

// The writer driven with a plan whose jobs hold several files, so that folders close in
// the middle of a job, and with calls that leave the plan ("+" closes a folder).
std::vector<uint8_t> Build(const ScratchDir& dir, const std::vector<std::string>& plan,
                           const std::vector<std::string>& calls, unsigned threads,
                           uint32_t limit) {
    Writer w(&dir, limit, PlatformCallbacks());
    std::vector<std::string> paths;
    for (const std::string& name : plan)
        paths.push_back(name == "+" ? "" : dir.File(name));
    std::vector<char*> entries;
    for (std::string& path : paths)
        entries.push_back(path.empty() ? nullptr : &path[0]);
    StartFolderPrefetch(w.cab, entries.data(), static_cast<uint32_t>(entries.size()),
                        w.cb.openSource, threads);
    bool ok = true;
    std::vector<Source> sources;
    for (const std::string& name : calls) {
        ok = ok && (name == "+" ? w.Flush() : w.AddSource(name));
        if (name != "+")
            sources.push_back({dir.File(name), name});
    }
    EXPECT_TRUE(w.Finish() && ok) << w.err.code;
    ExpectCabextractAgrees(dir.File("w.CAB"), sources);
    std::vector<uint8_t> bytes;
    for (const std::string& file : CabinetSet(dir.path(), "w.CAB")) {
        std::vector<uint8_t> more = ReadBytes(file);
        bytes.insert(bytes.end(), more.begin(), more.end());
        std::filesystem::remove(file);
    }
    EXPECT_TRUE(dir.SpillFiles().empty());
    return bytes;
}

TEST(ParallelWriter, FoldersClosedInsideAJobAndCallsOffThePlanGiveTheSameBytes) {
    ScratchDir dir;
    WriteFile(dir.File("big.bin"), RandomBytes(1000000, 9)); // passes the folder threshold
    WriteFile(dir.File("a.txt"), TextBytes(50000));
    WriteFile(dir.File("b.txt"), TextBytes(9000));
    WriteFile(dir.File("c.bin"), RandomBytes(45000, 2));
    const std::vector<std::string> plan = {"a.txt", "big.bin", "b.txt", "+",
                                           "c.bin", "a.txt",   "+",     "b.txt"};
    struct {
        const char* what;
        std::vector<std::string> calls;
        uint32_t limit;
    } cases[] = {
        {"as planned", plan, 0},
        {"as planned, in a set", plan, 300000},
        {"a call off the plan", {"a.txt", "big.bin", "c.bin", "+", "c.bin", "a.txt"}, 0},
        {"a missing close", {"a.txt", "big.bin", "b.txt", "c.bin", "a.txt", "+", "b.txt"}, 0},
        {"fewer calls", {"a.txt", "+"}, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> one = Build(dir, plan, c.calls, 1, c.limit);
        std::vector<uint8_t> two = Build(dir, plan, c.calls, 2, c.limit);
        ASSERT_FALSE(one.empty()) << c.what;
        EXPECT_TRUE(one == two) << c.what;
    }
}

} // namespace

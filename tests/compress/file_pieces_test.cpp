// Large files cut into pieces that several threads compress at once give the same
// cabinets, byte for byte, as one thread: whether the guesses at the pieces' starts are
// right (three lead blocks, nearly always), often wrong (two) or always wrong (one, which
// only primes), and when the workers cannot read, seek or get memory. The caller's
// progress hears every byte once and may stop at any call; failures of the file itself
// are met as with one thread.
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

#include "compress/client.h"
#include "compress/comprimi.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

const uint32_t kBlock = 32768;

// Stretches of 5000 bytes of text, zeros, random bytes, and copies of earlier stretches
// near and far, chosen by the seed: matches of every length across block boundaries.
std::vector<uint8_t> MixedBytes(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> text = TextBytes(count);
    std::vector<uint8_t> noise = RandomBytes(count, seed);
    uint32_t x = seed * 747796405u + 1;
    for (size_t at = 0; bytes.size() < count; at += 5000) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        size_t n = std::min<size_t>(5000, count - bytes.size());
        switch (x % 5) {
        case 0:
            bytes.insert(bytes.end(), n, 0);
            break;
        case 1:
            bytes.insert(bytes.end(), noise.begin() + at, noise.begin() + at + n);
            break;
        case 2: { // a copy from up to 30000 bytes back
            size_t back = std::min<size_t>(bytes.size(), 1 + x % 30000);
            for (size_t i = 0; i < n; i++)
                bytes.push_back(back == 0 ? 'c' : bytes[bytes.size() - back]);
            break;
        }
        default:
            bytes.insert(bytes.end(), text.begin() + at, text.begin() + at + n);
            break;
        }
    }
    return bytes;
}

class FilePieces : public ::testing::Test {
  protected:
    void Add(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(dir_.File(name), bytes);
        list_ += (list_.empty() ? "" : "+") + dir_.File(name);
        sources_.push_back({dir_.File(name), name});
    }
    // The cabinets of the list with one thread; checked by cabextract.
    std::map<std::string, std::vector<uint8_t>> OneThread(uint32_t limit) {
        ComprimiRun run = RunComprimi(dir_.CabDir(), "p", list_, limit, PlatformCallbacks(), 1);
        EXPECT_EQ(run.result, 1);
        ExpectCabextractAgrees(dir_.File("p.CAB"), sources_);
        return TakeCabinets(dir_, "p");
    }
    std::map<std::string, std::vector<uint8_t>>
    Run(uint32_t limit, unsigned threads, PieceSettings pieces, const CabinetCallbacks& callbacks) {
        ComprimiRun run = RunComprimi(dir_.CabDir(), "p", list_, limit, callbacks, threads, nullptr,
                                      nullptr, pieces);
        EXPECT_EQ(run.result, 1);
        for (const auto& message : run.messages)
            ADD_FAILURE() << message.first << ": " << message.second;
        EXPECT_TRUE(dir_.SpillFiles().empty());
        return TakeCabinets(dir_, "p");
    }
    ScratchDir dir_;
    std::string list_;
    std::vector<Source> sources_;
};

TEST_F(FilePieces, SameCabinetsAsOneThreadWhateverTheGuesses) {
    Add("mixed.bin", MixedBytes(45 * kBlock + 1234, 1));
    Add("small.txt", TextBytes(9000));
    Add("runs.bin", MixedBytes(21 * kBlock, 2)); // whole blocks only
    Add("tail.bin", MixedBytes(9 * kBlock + 1, 3));
    for (uint32_t limit : {0u, 400000u}) {
        auto expected = OneThread(limit);
        for (uint32_t leadBlocks : {1u, 2u, 3u}) {
            for (uint32_t pieceBytes : {4 * kBlock, 7 * kBlock + 100}) {
                for (unsigned threads : {2u, 3u, 4u}) {
                    SCOPED_TRACE("limit " + std::to_string(limit) + ", lead " +
                                 std::to_string(leadBlocks) + ", pieces of " +
                                 std::to_string(pieceBytes) + ", " + std::to_string(threads) +
                                 " threads");
                    EXPECT_TRUE(Run(limit, threads, {pieceBytes, leadBlocks},
                                    PlatformCallbacks()) == expected);
                }
            }
        }
    }
}

TEST_F(FilePieces, OneLargeFileAloneIsSharedToo) {
    Add("alone.bin", MixedBytes(30 * kBlock + 77, 4));
    auto expected = OneThread(0);
    for (uint32_t leadBlocks : {1u, 3u})
        EXPECT_TRUE(Run(0, 2, {4 * kBlock, leadBlocks}, PlatformCallbacks()) == expected)
            << leadBlocks;
}

// Callbacks that fail on every thread but the caller's, from a chosen call on.
std::thread::id gCaller;
std::atomic<int> gWorkerCalls{0};
int gFailFrom = 0;
bool OnWorker() {
    return std::this_thread::get_id() != gCaller;
}
long SeekNowhereOnWorkers(int handle, long distance, int origin, int* err, void* context) {
    if (OnWorker() && distance != 0) {
        *err = EINVAL;
        return -1;
    }
    return PlatformCallbacks().seek(handle, distance, origin, err, context);
}
void* AllocSomeOnWorkers(uint32_t size) {
    if (OnWorker() && ++gWorkerCalls >= gFailFrom)
        return nullptr;
    return PlatformCallbacks().alloc(size);
}

TEST_F(FilePieces, WorkersThatCannotSeekOrGetMemoryChangeNothing) {
    Add("mixed.bin", MixedBytes(33 * kBlock + 5, 5));
    Add("more.bin", MixedBytes(17 * kBlock, 6));
    auto expected = OneThread(0);
    gCaller = std::this_thread::get_id();
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

TEST_F(FilePieces, UnreadableStretchOfALargeFileFailsAsWithOneThread) {
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
        ComprimiRun one = RunComprimi(dir_.CabDir(), "one", list_, 0, cb, 1);
        EXPECT_EQ(one.result, 0);
        ASSERT_FALSE(one.messages.empty());
        EXPECT_NE(one.messages.front().second.find("code 2"), std::string::npos);
        for (unsigned threads : {2u, 3u}) {
            ComprimiRun many = RunComprimi(dir_.CabDir(), "many", list_, 0, cb, threads, nullptr,
                                           nullptr, {4 * kBlock, 3});
            EXPECT_EQ(many.result, 0);
            EXPECT_EQ(many.messages, one.messages);
        }
        EXPECT_TRUE(dir_.SpillFiles().empty());
        EXPECT_TRUE(TakeCabinets(dir_, "one").empty());
        EXPECT_TRUE(TakeCabinets(dir_, "many").empty());
    }
}

} // namespace

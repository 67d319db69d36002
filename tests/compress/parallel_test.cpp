// Folders compressed ahead on other threads give the same cabinets, byte for byte, as
// everything on one thread; failures are reported as they would be there.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "compress/cabinet_writer.h"
#include "compress/client.h"
#include "compress/folder_prefetch.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

class ParallelFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 9; i++) {
            std::string name = "f" + std::to_string(i) + (i % 3 == 0 ? ".bin" : ".txt");
            size_t size = i == 4 ? 0 : 5000 + 37000 * i;
            WriteFile(dir_.File(name), i % 3 == 0 ? RandomBytes(size, i) : TextBytes(size));
            list_ += (i ? "+" : "") + dir_.File(name);
            sources_.push_back({dir_.File(name), name});
        }
    }
    ScratchDir dir_;
    std::string list_;
    std::vector<Source> sources_;
};

TEST_F(ParallelFolders, SameCabinetsAsOneThreadForAnyLimitAndThreadCount) {
    for (uint32_t limit : {0u, 150000u, 40000u, 23456u}) {
        SCOPED_TRACE("size limit " + std::to_string(limit));
        ComprimiRun one = RunComprimi(dir_.CabDir(), "setup", list_, limit, PlatformCallbacks(), 1);
        ASSERT_EQ(one.result, 1);
        ExpectCabextractAgrees(dir_.File("setup.CAB"), sources_);
        auto expected = TakeCabinets(dir_, "setup");
        for (unsigned threads : {2u, 3u}) {
            ComprimiRun run =
                RunComprimi(dir_.CabDir(), "setup", list_, limit, PlatformCallbacks(), threads);
            ASSERT_EQ(run.result, 1);
            EXPECT_TRUE(TakeCabinets(dir_, "setup") == expected) << threads << " threads";
        }
        EXPECT_TRUE(dir_.SpillFiles().empty());
    }
}

TEST_F(ParallelFolders, MissingSourceFailsAsWithOneThread) {
    std::string list = list_ + "+" + dir_.File("missing.txt") + "+" + dir_.File("f1.txt");
    ComprimiRun one = RunComprimi(dir_.CabDir(), "one", list, 0, PlatformCallbacks(), 1);
    ComprimiRun two = RunComprimi(dir_.CabDir(), "two", list, 0, PlatformCallbacks(), 2);
    EXPECT_EQ(one.result, 0);
    EXPECT_EQ(two.result, 0);
    EXPECT_EQ(two.messages, one.messages);
    EXPECT_TRUE(dir_.SpillFiles().empty());
    EXPECT_TRUE(TakeCabinets(dir_, "two").empty());
}

// Temporary names fail on every thread but the caller's: no worker can make its spill file.
std::thread::id gCallerThread;
bool CallerOnlyTempName(char* buffer, int size, void* context) {
    return std::this_thread::get_id() == gCallerThread && ClientTempName(buffer, size, context);
}

TEST_F(ParallelFolders, JobsThatWorkersCannotDoAreDoneOnTheCallersThread) {
    ComprimiRun one = RunComprimi(dir_.CabDir(), "setup", list_, 40000, PlatformCallbacks(), 1);
    ASSERT_EQ(one.result, 1);
    auto expected = TakeCabinets(dir_, "setup");
    CabinetCallbacks callbacks = PlatformCallbacks();
    callbacks.tempName = CallerOnlyTempName;
    gCallerThread = std::this_thread::get_id();
    ComprimiRun two = RunComprimi(dir_.CabDir(), "setup", list_, 40000, callbacks, 2);
    EXPECT_EQ(two.result, 1);
    EXPECT_TRUE(two.messages.empty());
    EXPECT_TRUE(TakeCabinets(dir_, "setup") == expected);
    EXPECT_TRUE(dir_.SpillFiles().empty());
}

// A block whose last match has two equally long candidates: the compressor's comparisons
// run past the block's end into bytes its window kept from before, so a compressor that
// had compressed A or B would choose differently. Folders compressed on other threads can
// only match when every folder starts from a fresh compressor.
TEST(FolderBytes, DependOnlyOnTheFolderOwnFiles) {
    ScratchDir dir;
    std::vector<uint8_t> s = RandomBytes(40, 1), t1 = RandomBytes(20, 2), t2 = RandomBytes(20, 3);
    std::vector<uint8_t> x;
    for (const auto* part : {&s, &t1, &s, &t2, &s}) {
        x.insert(x.end(), part->begin(), part->end());
    }
    auto before = [&](const std::vector<uint8_t>& t) {
        std::vector<uint8_t> bytes = RandomBytes(x.size(), 9);
        bytes.insert(bytes.end(), t.begin(), t.end());
        std::vector<uint8_t> tail = RandomBytes(100, 10);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    WriteFile(dir.File("x.bin"), x);
    WriteFile(dir.File("a.bin"), before(t1));
    WriteFile(dir.File("b.bin"), before(t2));
    std::vector<std::vector<uint8_t>> blocks;
    for (const char* first : {"a.bin", "b.bin"}) {
        std::string base = std::string("after-") + first[0];
        ASSERT_EQ(
            RunComprimi(dir.CabDir(), base, dir.File(first) + "+" + dir.File("x.bin"), 0).result,
            1);
        ReadCabinet cab = ReadCabinetFile(dir.File(base + ".CAB"));
        ASSERT_EQ(cab.folders.size(), 2u);
        blocks.push_back(cab.folders[1].blocks.at(0).data);
        ExpectCabextractAgrees(dir.File(base + ".CAB"),
                               {{dir.File(first), first}, {dir.File("x.bin"), "x.bin"}});
    }
    EXPECT_TRUE(blocks[0] == blocks[1]);
}

// The writer driven with a plan whose jobs hold several files, so that folders close in
// the middle of a job, and with calls that leave the plan.
std::vector<uint8_t> Build(const ScratchDir& dir, const std::vector<std::string>& plan,
                           const std::vector<std::string>& calls, unsigned threads,
                           uint32_t limit) {
    ComprimiSettings settings;
    std::strcpy(settings.cabinetDir, dir.CabDir().c_str());
    std::strcpy(settings.cabinetBase, "w");
    CabinetCallbacks cb = PlatformCallbacks();
    CabinetParams params;
    std::memset(&params, 0, sizeof params);
    params.sizeLimit = limit;
    params.folderThreshold = 900000;
    params.cabinetNumber = 1;
    std::strcpy(params.cabinetName, "w.CAB");
    std::strcpy(params.cabinetPath, settings.cabinetDir);
    CabError err;
    CabContext* cab =
        FCICreate(&err, cb.filePlaced, cb.alloc, cb.release, cb.open, cb.read, cb.write, cb.close,
                  cb.seek, cb.remove, cb.tempName, &params, &settings);
    EXPECT_NE(cab, nullptr);
    std::vector<std::string> paths;
    for (const std::string& name : plan) {
        paths.push_back(name == "+" ? "" : dir.File(name));
    }
    std::vector<char*> entries;
    for (std::string& path : paths) {
        entries.push_back(path.empty() ? nullptr : &path[0]);
    }
    StartFolderPrefetch(cab, entries.data(), static_cast<uint32_t>(entries.size()), cb.openSource,
                        threads);
    bool ok = true;
    for (const std::string& name : calls) {
        if (name == "+") {
            ok = ok && FCIFlushFolder(cab, cb.nextCabinet, cb.progress);
        } else {
            ok = ok && FCIAddFile(cab, dir.File(name).c_str(), name.c_str(), cb.nextCabinet,
                                  cb.progress, cb.openSource, kCompressionMsZip);
        }
    }
    ok = ok && FCIFlushCabinet(cab, cb.nextCabinet, cb.progress);
    EXPECT_TRUE(FCIDestroy(cab));
    EXPECT_TRUE(ok) << err.code;
    std::vector<Source> sources;
    for (const std::string& name : calls) {
        if (name != "+") {
            sources.push_back({dir.File(name), name});
        }
    }
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

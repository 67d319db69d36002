// Fault injection: a client that fails the k-th call of one callback (once, or from then
// on) for every k a small build reaches. Every run must end with the right code and
// message, or succeed when the writer may recover, and must leak no memory, descriptor,
// spill file or partial cabinet.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compress/client.h"
#include "compress/error_text.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

enum Callback {
    kAlloc,
    kOpen,
    kRead,
    kWrite,
    kSeek,
    kClose,
    kDelete,
    kTempName,
    kOpenSource,
    kNextCabinet,
    kProgress,
    kFilePlaced,
    kCallbackCount
};
const char* const kCallbackNames[] = {"alloc",       "open",         "read",     "write",
                                      "seek",        "close",        "delete",   "temp name",
                                      "open source", "next cabinet", "progress", "file placed"};

enum HandleKind { kSpill, kCabinet, kSource };

// What the failing call means for the result: the code it must give, or none when the
// writer rightly goes on (a retried temporary name, an unchecked close of a source).
const int kRecovers = -1;

struct FaultState {
    Callback target = kCallbackCount;
    int failAt = 0;
    bool persistent = false;
    int calls[kCallbackCount] = {};
    int expected = 0; // code implied by the first fired call that counts
    bool fired = false;
    std::set<void*> memory;
    std::map<int, HandleKind> handles;
    CabinetCallbacks real = PlatformCallbacks();
};

FaultState* gState = nullptr;

bool Fails(Callback c) {
    int n = ++gState->calls[c];
    if (c != gState->target) {
        return false;
    }
    return gState->persistent ? n >= gState->failAt : n == gState->failAt;
}

void Implies(int code) {
    if (!gState->fired && code != kRecovers) {
        gState->expected = code;
        gState->fired = true;
    }
}

int ByKind(int handle, int spillCode, int cabinetCode, int sourceCode) {
    auto it = gState->handles.find(handle);
    if (it == gState->handles.end()) {
        return 0;
    }
    return it->second == kSpill ? spillCode : it->second == kCabinet ? cabinetCode : sourceCode;
}

void* FaultAlloc(uint32_t size) {
    if (Fails(kAlloc)) {
        Implies(3);
        return nullptr;
    }
    void* memory = std::malloc(size);
    gState->memory.insert(memory);
    return memory;
}

void FaultFree(void* memory) {
    EXPECT_EQ(gState->memory.erase(memory), 1u) << "release of memory never allocated";
    std::free(memory);
}

int FaultOpen(const char* path, int flags, int permission, int* err, void* context) {
    bool spill = (flags & kOpenExclusive) != 0;
    if (Fails(kOpen)) {
        // A spill is retried with another name; persistently failing it gives code 4.
        Implies(spill ? (gState->persistent ? 4 : kRecovers) : 6);
        *err = EACCES;
        return -1;
    }
    int handle = gState->real.open(path, flags, permission, err, context);
    if (handle != -1) {
        gState->handles[handle] = spill ? kSpill : kCabinet;
    }
    return handle;
}

int FaultOpenSource(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes,
                    int* err, void* context) {
    if (Fails(kOpenSource)) {
        Implies(1);
        *err = ENOENT;
        return -1;
    }
    int handle = gState->real.openSource(path, date, time, attributes, err, context);
    if (handle != -1) {
        gState->handles[handle] = kSource;
    }
    return handle;
}

int FaultRead(int handle, void* buffer, uint32_t count, int* err, void* context) {
    if (Fails(kRead)) {
        Implies(ByKind(handle, 4, 6, 2));
        *err = EIO;
        return -1;
    }
    return gState->real.read(handle, buffer, count, err, context);
}

int FaultWrite(int handle, const void* buffer, uint32_t count, int* err, void* context) {
    if (Fails(kWrite)) {
        Implies(ByKind(handle, 4, 6, 0));
        *err = ENOSPC;
        return -1;
    }
    return gState->real.write(handle, buffer, count, err, context);
}

long FaultSeek(int handle, long distance, int origin, int* err, void* context) {
    if (Fails(kSeek)) {
        Implies(ByKind(handle, 4, 6, 0));
        *err = EINVAL;
        return -1;
    }
    return gState->real.seek(handle, distance, origin, err, context);
}

// A failing close or delete still does the work, as a system that reports an error after
// the fact would; what matters is that the writer reports it.
int FaultClose(int handle, int* err, void* context) {
    int kind = ByKind(handle, 4, 6, kRecovers);
    gState->handles.erase(handle);
    int result = gState->real.close(handle, err, context);
    if (Fails(kClose)) {
        Implies(kind);
        *err = EIO;
        return -1;
    }
    return result;
}

int FaultDelete(const char* path, int* err, void* context) {
    int result = gState->real.remove(path, err, context);
    if (Fails(kDelete)) {
        Implies(4);
        *err = EACCES;
        return -1;
    }
    return result;
}

bool FaultTempName(char* buffer, int size, void* context) {
    if (Fails(kTempName)) {
        Implies(gState->persistent ? 4 : kRecovers);
        return false;
    }
    return gState->real.tempName(buffer, size, context);
}

int FaultNextCabinet(CabinetParams* next, uint32_t estimate, void* context) {
    if (Fails(kNextCabinet)) {
        Implies(7);
        return -1;
    }
    return gState->real.nextCabinet(next, estimate, context);
}

long FaultProgress(unsigned kind, uint32_t a, uint32_t b, void* context) {
    if (Fails(kProgress)) {
        Implies(7);
        return -1;
    }
    return gState->real.progress(kind, a, b, context);
}

int FaultFilePlaced(CabinetParams* current, const char* name, uint32_t size, bool continued,
                    void* context) {
    if (Fails(kFilePlaced)) {
        Implies(7);
        return -1;
    }
    return gState->real.filePlaced(current, name, size, continued, context);
}

CabinetCallbacks FaultCallbacks() {
    CabinetCallbacks cb;
    cb.alloc = FaultAlloc;
    cb.release = FaultFree;
    cb.open = FaultOpen;
    cb.read = FaultRead;
    cb.write = FaultWrite;
    cb.seek = FaultSeek;
    cb.close = FaultClose;
    cb.remove = FaultDelete;
    cb.tempName = FaultTempName;
    cb.openSource = FaultOpenSource;
    cb.nextCabinet = FaultNextCabinet;
    cb.progress = FaultProgress;
    cb.filePlaced = FaultFilePlaced;
    return cb;
}

#ifndef _WIN32
size_t OpenDescriptors() {
    size_t count = 0;
    for (auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        count++;
    }
    return count;
}
#else
size_t OpenDescriptors() {
    return 0;
}
#endif

class FaultInjection : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* names[] = {"a.bin", "b.txt", "c.dat", "d.txt"};
        const std::vector<uint8_t> contents[] = {
            RandomBytes(40000, 1), TextBytes(60000), {}, TextBytes(3000)};
        for (int i = 0; i < 4; i++) {
            WriteFile(dir_.File(names[i]), contents[i]);
            list_ += (i ? "+" : "") + dir_.File(names[i]);
            sources_.insert(names[i]);
        }
        // Small enough for a set of cabinets with split blocks.
        FaultState counting;
        counting.real = PlatformCallbacks();
        gState = &counting;
        ComprimiRun run = RunComprimi(dir_.CabDir(), "base", list_, kLimit, FaultCallbacks(), 1);
        gState = nullptr;
        ASSERT_EQ(run.result, 1);
        for (int c = 0; c < kCallbackCount; c++) {
            baselineCalls_[c] = counting.calls[c];
        }
        baseline_ = Cabinets();
        ASSERT_GE(baseline_.size(), 3u);
    }

    // Cabinet files in the folder with their bytes.
    std::map<std::string, std::vector<uint8_t>> Cabinets() const {
        std::map<std::string, std::vector<uint8_t>> cabinets;
        for (const std::string& name : dir_.Names()) {
            if (sources_.count(name) == 0) {
                cabinets[name] = ReadBytes(dir_.File(name));
            }
        }
        return cabinets;
    }

    void RemoveCabinets() {
        for (const auto& cabinet : Cabinets()) {
            std::filesystem::remove(dir_.File(cabinet.first));
        }
    }

    void RunWithFault(Callback target, int k, bool persistent) {
        SCOPED_TRACE(std::string(kCallbackNames[target]) + " call " + std::to_string(k) +
                     (persistent ? " and later" : " only"));
        RemoveCabinets();
        FaultState state;
        state.target = target;
        state.failAt = k;
        state.persistent = persistent;
        gState = &state;
        size_t descriptors = OpenDescriptors();
        ComprimiRun run = RunComprimi(dir_.CabDir(), "base", list_, kLimit, FaultCallbacks(), 1);
        gState = nullptr;

        EXPECT_TRUE(state.memory.empty()) << state.memory.size() << " allocations leaked";
        EXPECT_TRUE(state.handles.empty()) << state.handles.size() << " handles left open";
        EXPECT_EQ(OpenDescriptors(), descriptors);
        EXPECT_TRUE(dir_.SpillFiles().empty()) << "spill files left";
        if (!state.fired) {
            EXPECT_EQ(run.result, 1);
            EXPECT_TRUE(run.messages.empty());
            EXPECT_TRUE(Cabinets() == baseline_) << "a recovered run writes the same set";
            return;
        }
        EXPECT_EQ(run.result, 0);
        ASSERT_GE(run.messages.size(), 2u);
        EXPECT_EQ(run.messages.back().first, "DarEvizeza");
        EXPECT_EQ(run.messages.back().second, "Impossibile creare il file CAB!!!");
        const std::string& report = run.messages[run.messages.size() - 2].second;
        if (run.messages.size() == 3 || report == "ERRORE") {
            // Memory ran out while the list was parsed.
            EXPECT_EQ(target, kAlloc);
            EXPECT_EQ(report, "ERRORE");
        } else {
            std::string code = "code " + std::to_string(state.expected) + " [" +
                               CabErrorText(state.expected) + "]";
            EXPECT_NE(report.find(code), std::string::npos) << report << " should hold " << code;
            EXPECT_EQ(report.back(), '\n');
        }
        // Only complete cabinets of the set may stay.
        for (const auto& cabinet : Cabinets()) {
            ReadCabinet cab = ReadCabinetFile(dir_.File(cabinet.first));
            EXPECT_EQ(cab.error, "") << cabinet.first << " is not a complete cabinet";
            EXPECT_TRUE(baseline_.count(cabinet.first) &&
                        baseline_.at(cabinet.first) == cabinet.second)
                << cabinet.first;
        }
    }

    static const uint32_t kLimit = 18000;
    ScratchDir dir_;
    std::string list_;
    std::set<std::string> sources_;
    int baselineCalls_[kCallbackCount] = {};
    std::map<std::string, std::vector<uint8_t>> baseline_;
};

TEST_F(FaultInjection, BaselineSetIsReadByCabextract) {
    std::vector<Source> sources;
    for (const std::string& name : sources_) {
        sources.push_back({dir_.File(name), name});
    }
    ExpectCabextractAgrees(dir_.File("base.CAB"), sources);
    for (int c = 0; c < kCallbackCount; c++) {
        EXPECT_GT(baselineCalls_[c], 0) << kCallbackNames[c] << " is never called";
    }
}

TEST_F(FaultInjection, EveryFailingCallOnceEndsCleanly) {
    for (int c = 0; c < kCallbackCount; c++) {
        for (int k = 1; k <= baselineCalls_[c]; k++) {
            RunWithFault(static_cast<Callback>(c), k, false);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST_F(FaultInjection, EveryCallFailingFromThenOnEndsCleanly) {
    for (int c = 0; c < kCallbackCount; c++) {
        for (int k = 1; k <= baselineCalls_[c]; k++) {
            RunWithFault(static_cast<Callback>(c), k, true);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

} // namespace

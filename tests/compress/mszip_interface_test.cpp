// The compressor's interface: sizes, answers, memory use and the output capacity.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "compress/lazy_matcher.h"
#include "compress/mszip.h"
#include "tests/compress/test_data.h"

using namespace mszip_test;
using namespace velaset::compress;

namespace {

int allocations = 0;
int releases = 0;
void* lastAllocated = nullptr;
void* lastReleased = nullptr;

void* CountingAllocate(uint32_t size) {
    allocations++;
    lastAllocated = std::malloc(size);
    return lastAllocated;
}
void CountingRelease(void* memory) {
    releases++;
    lastReleased = memory;
    std::free(memory);
}
void* RefuseAllocate(uint32_t) {
    return nullptr;
}
// Keeps the memory so that a test may look at a destroyed compressor.
void KeepRelease(void* memory) {
    lastReleased = memory;
}

struct Created {
    MsZipCompressor* compressor = nullptr;
    uint32_t blockSize = 0;
    uint32_t maxOutput = 0;
};

Created Create(uint32_t blockSize) {
    Created c;
    c.blockSize = blockSize;
    EXPECT_EQ(
        MsZipCreate(&c.blockSize, CountingAllocate, CountingRelease, &c.compressor, &c.maxOutput),
        MSZIP_OK);
    return c;
}

} // namespace

TEST(MsZipInterface, CreateSettlesTheBlockSizeAndReportsTheMaximumOutput) {
    const struct {
        uint32_t requested, used;
    } cases[] = {{0, 32768},     {1, 1},         {1000, 1000},
                 {32768, 32768}, {32769, 32768}, {0xFFFFFFFF, 32768}};
    for (const auto& c : cases) {
        Created made = Create(c.requested);
        EXPECT_EQ(made.blockSize, c.used) << c.requested;
        EXPECT_EQ(made.maxOutput, c.used + 12) << c.requested;
        EXPECT_EQ(MsZipDestroy(made.compressor), MSZIP_OK);
    }
}

TEST(MsZipInterface, CreateAnswersOneWhenMemoryIsShort) {
    uint32_t size = 32768, maxOutput = 0;
    MsZipCompressor* c = nullptr;
    EXPECT_EQ(MsZipCreate(&size, RefuseAllocate, CountingRelease, &c, &maxOutput), MSZIP_NO_MEMORY);
    EXPECT_EQ(c, nullptr);
}

TEST(MsZipInterface, MemoryIsTakenOnceAtCreationAndGivenBackAtDestruction) {
    allocations = releases = 0;
    Created made = Create(32768);
    Bytes output(made.maxOutput);
    uint32_t written = 0;
    for (DataKind kind : kAllKinds) {
        Bytes input = MakeData(kind, 32768, 1);
        ASSERT_EQ(MsZipCompress(made.compressor, input.data(), 32768, output.data(), made.maxOutput,
                                &written),
                  MSZIP_OK);
        ASSERT_EQ(MsZipReset(made.compressor), MSZIP_OK);
    }
    EXPECT_EQ(allocations, 1);
    EXPECT_EQ(releases, 0);
    EXPECT_EQ(MsZipDestroy(made.compressor), MSZIP_OK);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(lastReleased, lastAllocated);
}

TEST(MsZipInterface, CallsWithAWrongTagAnswerTwo) {
    // A destroyed compressor, kept in memory by its releaser, and one never made.
    uint32_t size = 32768, maxOutput = 0;
    MsZipCompressor* destroyed = nullptr;
    ASSERT_EQ(MsZipCreate(&size, CountingAllocate, KeepRelease, &destroyed, &maxOutput), MSZIP_OK);
    ASSERT_EQ(MsZipDestroy(destroyed), MSZIP_OK);
    std::unique_ptr<uint64_t[]> zeros(new uint64_t[1024]());
    MsZipCompressor* never = reinterpret_cast<MsZipCompressor*>(zeros.get());

    Bytes output(32780);
    uint32_t written = 0;
    for (MsZipCompressor* c : {destroyed, never, static_cast<MsZipCompressor*>(nullptr)}) {
        EXPECT_EQ(MsZipCompress(c, "abc", 3, output.data(), 32780, &written), MSZIP_BAD_CALL);
        EXPECT_EQ(MsZipReset(c), MSZIP_BAD_CALL);
        EXPECT_EQ(MsZipDestroy(c), MSZIP_BAD_CALL);
    }
    std::free(destroyed);
}

TEST(MsZipInterface, CompressRefusesTooMuchInputAndTooLittleRoomWithoutWriting) {
    const struct {
        uint32_t blockSize, input, capacity;
        int result;
    } cases[] = {
        {1000, 1000, 1012, MSZIP_OK},      {1000, 1001, 1013, MSZIP_BAD_CALL},
        {1000, 10, 1011, MSZIP_BAD_CALL},  {32768, 32768, 32780, MSZIP_OK},
        {32768, 0, 32779, MSZIP_BAD_CALL}, {32768, 32769, 40000, MSZIP_BAD_CALL},
    };
    for (const auto& c : cases) {
        Created made = Create(c.blockSize);
        Bytes input = MakeData(DataKind::Text, c.input, 2);
        Bytes output(c.capacity, 0xEE);
        uint32_t written = 12345;
        EXPECT_EQ(MsZipCompress(made.compressor, input.data(), c.input, output.data(), c.capacity,
                                &written),
                  c.result)
            << c.blockSize << " " << c.input << " " << c.capacity;
        if (c.result != MSZIP_OK) {
            EXPECT_EQ(output, Bytes(c.capacity, 0xEE));
            EXPECT_EQ(written, 12345u);
        }
        MsZipDestroy(made.compressor);
    }
}

// The capacity rule of MsZipCompress leaves room for every block, so the encoder's
// overflow handling is driven here below that rule, at capacities short of the need.
namespace {
struct WindowRun {
    uint32_t size;
    uint32_t written;
    bool overflow;
};

WindowRun CompressInWindow(const Bytes& input, uint8_t* output, uint32_t capacity) {
    std::unique_ptr<uint8_t[]> literals(new uint8_t[kSymbolBufferSize]);
    std::unique_ptr<uint16_t[]> distances(new uint16_t[kDistanceBufferSize]);
    std::unique_ptr<DeflateState> s(new DeflateState());
    s->encoder.literals = literals.get();
    s->encoder.distances = distances.get();
    std::copy(input.begin(), input.end(), s->window);
    uint32_t size =
        CompressWindowBlock(*s, static_cast<uint32_t>(input.size()), false, output, capacity);
    return {size, s->encoder.out.count, s->encoder.out.overflow};
}
} // namespace

TEST(MsZipInterface, OverflowSetsTheFlagAndWritesOnlyWithinTheCapacity) {
    for (DataKind kind : {DataKind::Text, DataKind::Random, DataKind::Mixed}) {
        Bytes input = MakeData(kind, 5000, 3);
        Bytes full(40000);
        WindowRun fit = CompressInWindow(input, full.data(), 40000);
        ASSERT_FALSE(fit.overflow);
        ASSERT_EQ(fit.written, fit.size);
        full.resize(fit.size);
        std::vector<uint32_t> capacities = {fit.size, fit.size - 1, fit.size - 2};
        for (uint32_t c = 0; c < fit.size; c += c < 40 ? 1 : 331)
            capacities.push_back(c);
        for (uint32_t capacity : capacities) {
            Bytes output(fit.size + 16, 0xEE);
            WindowRun run = CompressInWindow(input, output.data(), capacity);
            SCOPED_TRACE(std::string(KindName(kind)) + " capacity " + std::to_string(capacity));
            EXPECT_EQ(run.overflow, capacity < fit.size);
            EXPECT_EQ(run.written, capacity < fit.size ? capacity : fit.size);
            EXPECT_TRUE(std::equal(output.begin(), output.begin() + run.written, full.begin()));
            EXPECT_EQ(Bytes(output.begin() + run.written, output.end()),
                      Bytes(output.size() - run.written, 0xEE));
        }
    }
}

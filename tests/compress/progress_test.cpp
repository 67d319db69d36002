// The progress that Comprimi tells its caller (ComprimiConAvanzamento): every byte of
// every block once, in list order, with one thread, with folders compressed ahead or
// with a large file cut into pieces for several threads; and
// a caller's stop, met at any call, which leaves no cabinet, no spill file and no message.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

// What the caller was told; stopAt (counting from 1) answers "stop" at that call.
struct Told {
    std::vector<uint32_t> calls;
    uint64_t bytes = 0;
    size_t stopAt = 0;
};

int COMPRIMI_PROGRESS_CALL Tell(uint32_t bytes, void* context) {
    Told* told = static_cast<Told*>(context);
    told->calls.push_back(bytes);
    told->bytes += bytes;
    return told->stopAt != 0 && told->calls.size() >= told->stopAt ? 1 : 0;
}

// Four folders: a text of many blocks, random bytes, an empty file and a short text.
struct Payload {
    ScratchDir dir;
    std::string list;
    uint64_t total = 0;

    Payload() {
        const std::vector<std::vector<uint8_t>> contents = {
            TextBytes(700000), RandomBytes(150000, 7), {}, TextBytes(1234)};
        for (size_t i = 0; i < contents.size(); i++) {
            const std::string path = dir.File("f" + std::to_string(i) + ".dat");
            WriteFile(path, contents[i]);
            list += (i ? "+" : "") + path;
            total += contents[i].size();
        }
    }
};

struct Threads {
    unsigned count;
    PieceSettings pieces;
};

class ComprimiProgress : public ::testing::TestWithParam<Threads> {
  protected:
    ComprimiRun Run(const Payload& p, Told* told) {
        return RunComprimi(p.dir.CabDir(), "setup", p.list, 145000000, PlatformCallbacks(),
                           GetParam().count, Tell, told, GetParam().pieces);
    }
};

TEST_P(ComprimiProgress, TellsEveryCompressedByteOnce) {
    Payload p;
    Told told;
    ComprimiRun run = Run(p, &told);
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(told.bytes, p.total);
    size_t blocks = 0;
    for (uint32_t bytes : told.calls) {
        EXPECT_LE(bytes, 32768u);
        blocks += bytes > 0;
    }
    EXPECT_GE(blocks, p.total / 32768) << "one call per block at least";
    EXPECT_EQ(told.calls.back(), 0u) << "the cabinet file is written after the last block";
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(p.dir.SpillFiles().empty());
}

TEST_P(ComprimiProgress, AStopAtAnyCallLeavesNothingAndShowsNothing) {
    size_t calls = 0;
    {
        Payload p;
        Told count;
        ASSERT_EQ(Run(p, &count).result, 1);
        calls = count.calls.size();
    }
    for (size_t at : {size_t(1), size_t(2), calls / 2, calls - 1, calls}) {
        SCOPED_TRACE(at);
        Payload p;
        const std::vector<std::string> before = p.dir.Names();
        Told told;
        told.stopAt = at;
        ComprimiRun run = Run(p, &told);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(told.calls.size(), at) << "no call after the stop";
        EXPECT_TRUE(run.messages.empty()) << run.messages[0].second;
        EXPECT_TRUE(p.dir.SpillFiles().empty());
        EXPECT_EQ(p.dir.Names(), before) << "no cabinet, whole or in part";
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, ComprimiProgress,
                         ::testing::Values(Threads{1, kDefaultPieces}, Threads{3, kDefaultPieces},
                                           Threads{2, {4 * 32768, 3}}));

TEST(ComprimiConAvanzamento, WithoutACallbackIsComprimi) {
    Payload p;
    EXPECT_EQ(
        ComprimiConAvanzamento(p.dir.CabDir().c_str(), "a", p.list.c_str(), 0, nullptr, nullptr),
        1);
    EXPECT_EQ(Comprimi(p.dir.CabDir().c_str(), "b", p.list.c_str(), 0), 1);
    EXPECT_EQ(ReadBytes(p.dir.File("a.CAB")), ReadBytes(p.dir.File("b.CAB")));
}

} // namespace

// LZX folders: every cabinet is checked by every decoder at hand (cabextract, 7-Zip and
// gcab), on inputs made so that each block type, the repeated
// offsets, the longest match, the farthest offset, E8 translation near frame ends and
// the sizes around a frame decide the bytes; the parser is seen to choose each block
// type; and 1, 2 and 4 threads write the same cabinet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/lzx_e8.h"
#include "compress/lzx_parser.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;
using Bytes = std::vector<uint8_t>;

namespace {

struct File {
    std::string name;
    Bytes bytes;
};

// Small segments and blocks, so that a few hundred kilobytes cross every boundary.
CompressionChoice SmallLzx(int windowBits) {
    CompressionChoice c = {LzxCompressionType(windowBits), true, kDefaultLzx};
    c.lzx.parser = {windowBits, 65536, 40000, 2, 2, 8, 32};
    return c;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Repeat(uint8_t byte, size_t n) {
    return Bytes(n, byte);
}

// Three interleaved periods: the repeated offsets swap all the time.
Bytes Periods(size_t n) {
    Bytes b(n);
    Bytes a = RandomBytes(64, 7);
    for (size_t i = 0; i < n; i++)
        b[i] = static_cast<uint8_t>(a[(i % 3 == 0   ? i / 3 % 17
                                       : i % 3 == 1 ? i / 3 % 29 + 17
                                                    : i / 3 % 11 + 46)] +
                                    (i / 997));
    return b;
}

// Records of eight bytes whose fields repeat at far offsets with skewed low bits.
Bytes Records(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i + 8 <= n; i += 8) {
        uint32_t k = static_cast<uint32_t>((i / 8) * 2654435761u);
        b[i] = static_cast<uint8_t>(k >> 29);
        b[i + 1] = static_cast<uint8_t>(k >> 27);
        b[i + 2] = 0x4C;
        b[i + 3] = 0;
        b[i + 4] = static_cast<uint8_t>(i >> 14);
        b[i + 5] = 0x10;
        b[i + 6] = static_cast<uint8_t>(k >> 30);
        b[i + 7] = 0;
    }
    return b;
}

// Bytes 0xE8 at frame offsets around the last one that is translated, and at the very
// end of frames, with operands on every side of the translation range.
Bytes CallsNearFrameEnds() {
    Bytes b = TextBytes(3 * 32768 + 11);
    const size_t at[] = {32757, 32758, 32760, 32767, 65536 - 11, 65536 - 10, 65535, 98304};
    const uint32_t operand[] = {5, 0xFFFFFFF0u, 0x7FFFFFFFu, 0x80000000u, 0x03FFFFFFu, 1, 2, 3};
    for (size_t k = 0; k < 8; k++) {
        b[at[k]] = 0xE8;
        for (int i = 0; i < 4 && at[k] + 1 + i < b.size(); i++)
            b[at[k] + 1 + i] = static_cast<uint8_t>(operand[k] >> (8 * i));
    }
    for (size_t i = 0; i + 5 < 20000; i += 5) {
        b[i] = 0xE8; // dense calls: every one translated
        b[i + 1] = static_cast<uint8_t>(i % 251);
    }
    return b;
}

// A block of random bytes met again exactly at the farthest offset used.
Bytes FarthestRepeat(int windowBits) {
    const size_t distance = LzxMaxOffset(windowBits);
    Bytes head = RandomBytes(300, 11);
    Bytes b = Concat({head, TextBytes(distance - head.size()), head});
    return b;
}

// Every decoder extracts every file as it was.
void ExpectDecodersAgree(const ScratchDir& dir, const std::string& cab,
                         const std::vector<File>& files) {
    for (const char* command :
         {"cabextract -q -d '%s' '%s'", "7z x -y -o'%s' '%s'", "gcab -x -C '%s' '%s'"}) {
        const std::string out = dir.File("out");
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        char line[1024];
        std::snprintf(line, sizeof line, command, out.c_str(), cab.c_str());
        std::string output;
        ASSERT_EQ(RunCommand(line, &output), 0) << line << "\n" << output;
        for (const File& f : files)
            EXPECT_TRUE(ReadBytes(out + "/" + f.name) == f.bytes) << line << ": " << f.name;
    }
}

struct Case {
    const char* what;
    int windowBits;
    std::vector<File> files;
};

std::vector<Case> Cases() {
    return {
        {"an empty file alone", 16, {{"empty.bin", {}}}},
        {"one byte", 16, {{"one.txt", {'x'}}}},
        {"one frame less one", 16, {{"a.txt", TextBytes(32767)}}},
        {"one frame", 16, {{"a.txt", TextBytes(32768)}}},
        {"one frame and one byte", 16, {{"a.txt", TextBytes(32769)}}},
        {"random of odd size: uncompressed blocks, the last byte apart",
         16,
         {{"r.bin", RandomBytes(100001, 3)}}},
        {"text, random, text: trees across uncompressed blocks",
         17,
         {{"t1.txt", TextBytes(70000)},
          {"r.bin", RandomBytes(65536, 4)},
          {"t2.txt", TextBytes(90001)}}},
        {"runs of one byte: longest matches cut at every frame end",
         16,
         {{"z.bin", Concat({Repeat(0, 100000), Repeat('a', 3), Repeat(0, 70001)})}}},
        {"interleaved periods: repeated offsets", 16, {{"p.bin", Periods(150000)}}},
        {"records: aligned offset blocks", 18, {{"rec.bin", Records(200000)}}},
        {"calls near frame ends, short last frame", 16, {{"e8.bin", CallsNearFrameEnds()}}},
        {"farthest offset, 64 KB window", 16, {{"far.bin", FarthestRepeat(16)}}},
        {"farthest offset, 32 KB window", 15, {{"far.bin", FarthestRepeat(15)}}},
        {"files of 0 bytes between others",
         16,
         {{"a.txt", TextBytes(5000)}, {"b.bin", {}}, {"c.txt", TextBytes(40000)}, {"d.bin", {}}}},
    };
}

} // namespace

TEST(LzxFolders, EveryDecoderExtractsEveryCase) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        std::string list;
        for (const File& f : c.files) {
            WriteFile(dir.File(f.name), f.bytes);
            list += (list.empty() ? "" : "|") + dir.File(f.name);
        }
        ComprimiRun run = RunComprimi(dir.CabDir(), "setup", list, 0, PlatformCallbacks(), 1,
                                      nullptr, nullptr, kDefaultPieces, SmallLzx(c.windowBits));
        ASSERT_EQ(run.result, 1);
        ExpectDecodersAgree(dir, dir.File("setup.CAB"), c.files);
    }
}

TEST(LzxFolders, SameCabinetOnOneTwoAndFourThreads) {
    ScratchDir dir;
    std::vector<File> files = {{"t.txt", TextBytes(900000)},
                               {"r.bin", RandomBytes(300000, 9)},
                               {"e8.bin", CallsNearFrameEnds()},
                               {"rec.bin", Records(400000)}};
    std::string list;
    for (const File& f : files) {
        WriteFile(dir.File(f.name), f.bytes);
        list += (list.empty() ? "" : "|") + dir.File(f.name);
    }
    list += "+" + dir.File("t.txt"); // and a second folder
    CompressionChoice choice = SmallLzx(21);
    choice.lzx.parser.segmentBytes = 262144;
    Bytes first;
    for (unsigned threads : {1u, 2u, 4u}) {
        ASSERT_EQ(RunComprimi(dir.CabDir(), "setup", list, 0, PlatformCallbacks(), threads, nullptr,
                              nullptr, kDefaultPieces, choice)
                      .result,
                  1);
        Bytes cab = ReadBytes(dir.File("setup.CAB"));
        if (threads == 1)
            first = cab;
        EXPECT_TRUE(cab == first) << threads << " threads";
    }
    ExpectDecodersAgree(dir, dir.File("setup.CAB"), files);
}

// A folder spanned over a set of cabinets: frames split where a cabinet ends, read back
// across the set.
TEST(LzxFolders, SpanCabinetsOfASet) {
    ScratchDir dir;
    std::vector<Source> sources;
    std::string list;
    for (int i = 0; i < 3; i++) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        WriteFile(dir.File(name), i == 1 ? RandomBytes(90000, 2) : TextBytes(120000));
        list += (list.empty() ? "" : "|") + dir.File(name);
        sources.push_back({dir.File(name), name});
    }
    ASSERT_EQ(RunComprimi(dir.CabDir(), "setup", list, 40000, PlatformCallbacks(), 2, nullptr,
                          nullptr, kDefaultPieces, SmallLzx(17))
                  .result,
              1);
    EXPECT_GE(CabinetSet(dir.path(), "setup.CAB").size(), 3u);
    ExpectCabextractAgrees(dir.File("setup.CAB"), sources);
}

// The parser picks each block type where it pays: uncompressed for random bytes,
// aligned offsets for records, verbatim for text.
TEST(LzxParser, ChoosesEachBlockTypeWhereItPays) {
    LzxParserSettings settings = {16, 131072, 0, 2, 2, 16, 32};
    LzxParser* parser = LzxParserCreate(
        settings, [](uint32_t n) { return std::malloc(n); }, [](void* p) { std::free(p); });
    ASSERT_NE(parser, nullptr);
    struct Expect {
        Bytes data;
        LzxBlockType type;
    };
    const Expect cases[] = {{RandomBytes(65536, 5), kLzxUncompressed},
                            {Records(131072), kLzxAligned},
                            {TextBytes(131072), kLzxVerbatim}};
    for (const Expect& e : cases) {
        LzxSegment segment = {};
        std::vector<LzxBlock> blocks(LzxBlockCapacity(e.data.size()));
        std::vector<LzxMatch> matches(LzxMatchCapacity(e.data.size()));
        segment.blocks = blocks.data();
        segment.matches = matches.data();
        LzxParseSegment(parser, e.data.data(), 0, e.data.size(), &segment);
        ASSERT_GE(segment.blockCount, 1u);
        EXPECT_EQ(segment.blocks[0].type, e.type);
    }
    LzxParserDestroy(parser);
}

// Where translation stops and resumes, on frames of 32 zeros but for the bytes at `at`:
// a call's four operand bytes are never read as another call, and no call starts in
// the last 10 bytes of a frame.
TEST(LzxE8, SkipsTheOperandOfEveryCallAndTheLastTenBytesOfTheFrame) {
    const struct {
        const char* what;
        size_t at;
        Bytes before, after;
    } cases[] = {
        {"an operand that ends in 0xE8, out of range: the next five bytes are no call",
         0,
         {0xE8, 0, 0, 0, 0xE8, 1, 0, 0, 0},
         {0xE8, 0, 0, 0, 0xE8, 1, 0, 0, 0}},
        {"a call 11 bytes before the end: 1 + 32768 + 21",
         21,
         {0xE8, 1, 0, 0, 0},
         {0xE8, 0x16, 0x80, 0, 0}},
        {"a call 10 bytes before the end stays", 22, {0xE8, 1, 0, 0, 0}, {0xE8, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Bytes frame(32, 0), expected(32, 0);
        std::copy(c.before.begin(), c.before.end(), frame.begin() + c.at);
        std::copy(c.after.begin(), c.after.end(), expected.begin() + c.at);
        LzxTranslateFrame(frame.data(), 32, 1, 1 << 20);
        EXPECT_EQ(frame, expected) << c.what;
    }
}

TEST(LzxFolders, UnknownTypeFailsWithAMessage) {
    ScratchDir dir;
    WriteFile(dir.File("a.txt"), TextBytes(10));
    EXPECT_EQ(ComprimiConMetodo(dir.CabDir().c_str(), "setup", dir.File("a.txt").c_str(), 0, 0x1603,
                                nullptr, nullptr),
              0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("setup.CAB")));
}

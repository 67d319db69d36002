// Comprimi: list parsing into folders, names, size limits and sets, messages and what a
// failed call leaves behind. Every cabinet written is checked with cabextract natively.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compress/comprimi.h"
#include "tests/compress/cabinet_reader.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

const char kFailure[] = "Impossibile creare il file CAB!!!";

std::string Plus(const std::vector<std::string>& paths, bool trailing) {
    std::string list;
    for (size_t i = 0; i < paths.size(); i++)
        list += paths[i] + (i + 1 < paths.size() || trailing ? "+" : "");
    return list;
}

// A failed call: result 0, the report (when given) and the closing box, no spill file.
void ExpectFailure(const ComprimiRun& run, const ScratchDir& dir, const std::string& report) {
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.messages.size(), 2u);
    EXPECT_EQ(run.messages[0].first, "DarEvizeza");
    EXPECT_EQ(run.messages[0].second.rfind(report, 0), 0u) << run.messages[0].second;
    EXPECT_EQ(run.messages[1], std::make_pair(std::string("DarEvizeza"), std::string(kFailure)));
    EXPECT_TRUE(dir.SpillFiles().empty());
}

TEST(Comprimi, EmptyListWritesTheBare36ByteCabinet) {
    ScratchDir dir;
    ComprimiRun run = RunComprimi(dir.CabDir(), "setup", "", 145000000);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.messages.empty());
    // cabextract refuses any cabinet without files, so the bytes are compared instead.
    const std::vector<uint8_t> expected = {'M', 'S', 'C', 'F', 0,  0, 0, 0, 36,   0,    0, 0,
                                           0,   0,   0,   0,   36, 0, 0, 0, 0,    0,    0, 0,
                                           3,   1,   0,   0,   0,  0, 0, 0, 0x39, 0x30, 0, 0};
    EXPECT_EQ(ReadBytes(dir.File("setup.CAB")), expected);
    EXPECT_TRUE(dir.SpillFiles().empty());
}

// The builder's list: every "+" closes a folder, a trailing one included.
TEST(Comprimi, EveryPlusClosesAFolderOfOneFile) {
    ScratchDir dir;
    std::vector<std::string> paths;
    std::vector<Source> sources;
    for (int i = 0; i < 4; i++) {
        std::string name = "file" + std::to_string(i) + (i % 2 ? ".bin" : ".TXT");
        WriteFile(dir.File(name), i % 2 ? RandomBytes(40000 + i, i) : TextBytes(70000 + i));
        paths.push_back(dir.File(name));
        sources.push_back({dir.File(name), name});
    }
    for (bool trailingPlus : {false, true}) {
        ASSERT_EQ(RunComprimi(dir.CabDir(), "setup", Plus(paths, trailingPlus), 0).result, 1);
        ReadCabinet cab = ReadCabinetFile(dir.File("setup.CAB"));
        ASSERT_EQ(cab.folders.size(), 4u);
        ASSERT_EQ(cab.files.size(), 4u);
        for (int k = 0; k < 4; k++) {
            EXPECT_EQ(cab.files[k].folder, k);
            EXPECT_EQ(cab.files[k].offset, 0u);
            EXPECT_EQ(cab.files[k].name, sources[k].name);
            EXPECT_EQ(cab.folders[k].type, 1);
        }
        EXPECT_EQ(cab.flags, 0);
        EXPECT_TRUE(dir.SpillFiles().empty());
        ExpectCabextractAgrees(dir.File("setup.CAB"), sources);
    }
}

// An entry that cannot be opened (empty from a leading or doubled plus, missing, a
// folder) fails the call with code 1 and its path, and leaves no cabinet or spill file.
TEST(Comprimi, UnopenableEntryFailsWithItsPathAndLeavesNothing) {
    const struct {
        const char* list; // A: a source, M: a missing file, D: a folder
        const char* failing;
    } cases[] = {{"+A", ""}, {"A++A", ""}, {"A+M", "nonce.txt"}, {"D", "sub"}};
    for (const auto& c : cases) {
        ScratchDir dir;
        WriteFile(dir.File("a.txt"), TextBytes(100000));
        std::filesystem::create_directory(dir.File("sub"));
        std::string list;
        for (const char* p = c.list; *p; p++)
            list += *p == 'A'   ? dir.File("a.txt")
                    : *p == 'M' ? dir.File("nonce.txt")
                    : *p == 'D' ? dir.File("sub")
                                : "+";
        SCOPED_TRACE(c.list);
        std::string path = *c.failing ? dir.File(c.failing) : "";
        ExpectFailure(RunComprimi(dir.CabDir(), "setup", list, 0), dir,
                      "FCIAddFile() failed: code 1 [Failure opening file to be stored in "
                      "cabinet] <" +
                          path + ">\n");
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.txt"}) << "no cabinet is left";
    }
}

TEST(Comprimi, PathWithoutSeparatorIsStoredWhole) {
    ScratchDir dir;
    WriteFile(dir.File("MiXeD.TxT"), TextBytes(5000));
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ComprimiRun run = RunComprimi(dir.CabDir(), "setup", "MiXeD.TxT", 0);
    std::filesystem::current_path(saved);
    ASSERT_EQ(run.result, 1);
    ReadCabinet cab = ReadCabinetFile(dir.File("setup.CAB"));
    ASSERT_EQ(cab.files.size(), 1u);
    EXPECT_EQ(cab.files[0].name, "MiXeD.TxT");
    ExpectCabextractAgrees(dir.File("setup.CAB"), {{dir.File("MiXeD.TxT"), "MiXeD.TxT"}});
}

TEST(Comprimi, SizeLimitZeroMeansTheLargeDefault) {
    ScratchDir dir;
    WriteFile(dir.File("a.bin"), RandomBytes(200000, 7));
    ComprimiRun split = RunComprimi(dir.CabDir(), "small", dir.File("a.bin"), 100000);
    ComprimiRun whole = RunComprimi(dir.CabDir(), "whole", dir.File("a.bin"), 0);
    ASSERT_EQ(split.result, 1);
    ASSERT_EQ(whole.result, 1);
    EXPECT_EQ(CabinetSet(dir.path(), "small.CAB").size(), 3u);
    EXPECT_EQ(CabinetSet(dir.path(), "whole.CAB").size(), 1u);
    ExpectCabextractAgrees(dir.File("small.CAB"), {{dir.File("a.bin"), "a.bin"}});
}

// Sets cut at many limits, so that cabinets end at every distance from a block's or a
// folder's end: each cabinet stays under the limit, names its neighbours and ends a
// continued folder at a block boundary, and the whole set reads back. The small layout
// has folders without data after a cabinet filled to the byte, and folders that fitted
// whole but left less room than the next cabinet's names, which join its header once a
// later folder needs that next cabinet.
TEST(Comprimi, SetsCutAtAnyLimitNameTheirNeighboursAndAreReadAcrossTheirCabinets) {
    const struct {
        std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
        uint32_t from, to, step;
    } layouts[] = {
        {{{"a.bin", RandomBytes(70000, 1)},
          {"b.txt", TextBytes(200000)},
          {"c.dat", {}},
          {"d.bin", RandomBytes(33000, 2)}},
         20000,
         60000,
         1733},
        {{{"r.bin", RandomBytes(3000, 21)},
          {"vuoto.txt", {}},
          {"t.txt", TextBytes(700)},
          {"ancora.txt", {}}},
         300,
         420,
         1},
    };
    for (const auto& layout : layouts) {
        ScratchDir dir;
        std::vector<std::string> paths;
        std::vector<Source> sources;
        for (const auto& file : layout.files) {
            WriteFile(dir.File(file.first), file.second);
            paths.push_back(dir.File(file.first));
            sources.push_back({dir.File(file.first), file.first});
        }
        size_t written = 0;
        for (uint32_t limit = layout.from; limit < layout.to; limit += layout.step) {
            std::string base = "s" + std::to_string(limit);
            ComprimiRun run = RunComprimi(dir.CabDir(), base, Plus(paths, false), limit);
            ASSERT_EQ(run.result, 1) << limit;
            std::vector<std::string> set = CabinetSet(dir.path(), base + ".CAB");
            ASSERT_GE(set.size(), 2u);
            written += set.size();
            for (size_t i = 0; i < set.size(); i++) {
                ReadCabinet cab = ReadCabinetFile(set[i]);
                ASSERT_EQ(cab.error, "") << set[i];
                EXPECT_LE(cab.fileSize, limit) << set[i];
                EXPECT_EQ(cab.index, i);
                EXPECT_EQ(cab.setId, 12345);
                EXPECT_EQ(cab.flags, (i > 0 ? 1 : 0) | (i + 1 < set.size() ? 2 : 0)) << set[i];
                if (i > 0) {
                    EXPECT_EQ(cab.prevCabinet,
                              i == 1 ? base + ".CAB" : base + std::to_string(i) + ".CAB");
                    EXPECT_EQ(cab.prevDisk, base);
                }
                if (i + 1 == set.size())
                    continue;
                EXPECT_EQ(cab.nextCabinet, base + std::to_string(i + 2) + ".CAB");
                EXPECT_EQ(cab.nextDisk, base);
                bool continues = false;
                for (const ReadFile& file : cab.files)
                    continues = continues || file.folder == 0xFFFE || file.folder == 0xFFFF;
                if (continues) {
                    ASSERT_FALSE(cab.folders.back().blocks.empty());
                    EXPECT_EQ(cab.folders.back().blocks.back().uncompressed, 0)
                        << set[i] << ": a continued folder ends inside a block";
                }
            }
            if (layout.step > 1 || limit % 20 == 0)
                ExpectCabextractAgrees(set[0], sources);
            EXPECT_EQ(dir.Names().size(), 4 + written) << "only the sources and the sets";
        }
    }
}

TEST(Comprimi, ListsBeyondTheOldTableSizesWork) {
    ScratchDir dir;
    // Nested folders make a path far longer than 260 bytes.
    std::string deep = dir.path();
    for (int i = 0; i < 12; i++)
        deep += std::string(1, '/') + std::string(30, char('a' + i));
#ifdef _WIN32
    deep = dir.path() + "\\short"; // Windows paths stop at 260 characters
#endif
    std::filesystem::create_directories(deep);
    std::string longPath = (std::filesystem::path(deep) / "x.txt").make_preferred().string();
    WriteFile(longPath, TextBytes(300));
    WriteFile(dir.File("s.txt"), TextBytes(10));
    std::vector<std::string> paths(5000, dir.File("s.txt")); // with the markers: 10002 entries
    paths.push_back(longPath);
    ComprimiRun run = RunComprimi(dir.CabDir(), "setup", Plus(paths, true), 0);
    ASSERT_EQ(run.result, 1) << (run.messages.empty() ? "" : run.messages[0].second);
    ReadCabinet cab = ReadCabinetFile(dir.File("setup.CAB"));
    ASSERT_EQ(cab.error, "");
    EXPECT_EQ(cab.folders.size(), 5001u);
    ASSERT_EQ(cab.files.size(), 5001u);
    EXPECT_EQ(cab.files.back().name, "x.txt");
    EXPECT_EQ(cab.files.back().folder, 5000);
    ExpectCabextractAgrees(dir.File("setup.CAB"),
                           {{longPath, "x.txt"}, {dir.File("s.txt"), "s.txt"}});
}

TEST(Comprimi, OverlongDirectoryOrBaseIsRefused) {
    ScratchDir dir;
    WriteFile(dir.File("a.txt"), TextBytes(10));
    ExpectFailure(RunComprimi(dir.CabDir(), std::string(100, 'b'), dir.File("a.txt"), 0), dir,
                  "Nome del file CAB troppo lungo");
    ExpectFailure(RunComprimi(dir.CabDir() + std::string(256, 'd'), "setup", dir.File("a.txt"), 0),
                  dir, "Cartella del file CAB troppo lunga");
    ComprimiRun fits = RunComprimi(dir.CabDir(), std::string(99, 'b'), dir.File("a.txt"), 0);
    EXPECT_EQ(fits.result, 1);
    EXPECT_EQ(dir.Names().size(), 2u);
    ExpectCabextractAgrees(dir.File(std::string(99, 'b') + ".CAB"), {{dir.File("a.txt"), "a.txt"}});
}

TEST(Comprimi, UnwritableCabinetFolderFailsWithCode6) {
    ScratchDir dir;
    WriteFile(dir.File("a.txt"), TextBytes(10));
    ExpectFailure(RunComprimi(dir.File("no-such-folder") + dir.CabDir().back(), "setup",
                              dir.File("a.txt"), 0),
                  dir, "FCIFlushCabinet() failed: code 6 [Could not create cabinet file]\n");
}

void SetThreadsVariable(const char* value) {
#ifdef _WIN32
    _putenv_s("VELASET_COMPRESS_THREADS", value == nullptr ? "" : value);
#else
    if (value == nullptr)
        unsetenv("VELASET_COMPRESS_THREADS");
    else
        setenv("VELASET_COMPRESS_THREADS", value, 1);
#endif
}

TEST(Comprimi, ThreadsFollowTheEnvironmentWithinOneToFour) {
    SetThreadsVariable(nullptr);
    const unsigned automatic = ComprimiThreads();
    EXPECT_GE(automatic, 1u);
    EXPECT_LE(automatic, 4u);
    for (const char* chosen : {"1", "3", "4"}) {
        SetThreadsVariable(chosen);
        EXPECT_EQ(ComprimiThreads(), static_cast<unsigned>(chosen[0] - '0'));
    }
    for (const char* ignored : {"0", "5", "2x", "", "-1"}) {
        SetThreadsVariable(ignored);
        EXPECT_EQ(ComprimiThreads(), automatic) << ignored;
    }
    SetThreadsVariable(nullptr);
}

} // namespace

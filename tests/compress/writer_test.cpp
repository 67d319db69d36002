// The cabinet writer driven directly: blocks shared by the files of a folder, the folder
// threshold, blocks split at the size limit, and the limits of the format's fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "compress/cabinet_checksum.h"
#include "compress/entry_table.h"
#include "compress/folder_hook.h"
#include "compress/open_folder.h"
#include "tests/compress/cabinet_test_support.h"

using namespace velaset::compress;

namespace {

std::vector<uint32_t> UncompressedSizes(const ReadFolder& folder) {
    std::vector<uint32_t> sizes;
    for (const ReadBlock& block : folder.blocks)
        sizes.push_back(block.uncompressed);
    return sizes;
}

TEST(CabChecksum, MatchesTheWorkedExampleAndFoldsLeftoverBytes) {
    const uint8_t compressed[] = {0x43, 0x4B, 0x4B, 0x4C, 0x4A, 0x06, 0x00};
    EXPECT_EQ(CabChecksum(compressed, 7, 0), 0x4C014D43u);
    EXPECT_EQ(DataBlockChecksum(compressed, 7, 3), 0x4C024D44u);
    const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    struct {
        uint32_t count;
        uint32_t expected;
    } cases[] = {{0, 0},
                 {1, 0x11},
                 {2, 0x1122},
                 {3, 0x112233},
                 {4, 0x44332211},
                 {5, 0x44332211 ^ 0x55},
                 {7, 0x44332211 ^ 0x556677}};
    for (const auto& c : cases)
        EXPECT_EQ(CabChecksum(bytes, c.count, 0), c.expected) << c.count;
    EXPECT_EQ(CabChecksum(bytes, 4, 0xFFFFFFFF), ~0x44332211u);
}

void* Allocate(uint32_t size) {
    return malloc(size);
}

TEST(FileList, SplitsAtEveryPlus) {
    struct {
        const char* list;
        std::vector<std::string> entries; // "+" stands for a folder close
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a+b", {"a", "+", "b"}},
        {"a+b+", {"a", "+", "b", "+"}},
        {"+a", {"", "+", "a"}},
        {"a++b", {"a", "+", "", "+", "b"}},
        {"C:\\x\\setup.inf", {"C:\\x\\setup.inf"}},
    };
    for (const auto& c : cases) {
        EntryTable table;
        ASSERT_TRUE(ParseFileList(c.list, Allocate, free, &table));
        std::vector<std::string> got;
        for (uint32_t i = 0; i < table.count; i++)
            got.push_back(table.entries[i] == nullptr ? "+" : table.entries[i]);
        EXPECT_EQ(got, c.entries) << c.list;
        FreeEntryTable(&table);
    }
}

std::vector<uint32_t> FullBlocks(size_t count, uint32_t last) {
    std::vector<uint32_t> sizes(count, 32768);
    sizes.push_back(last);
    return sizes;
}

// Files added in turn, each with the folder and offset it must get; after the last one
// the folder is closed twice (the second close finds it empty).
TEST(CabinetWriter, FolderDataIsCutInto32768ByteBlocksSharedByTheFilesOfTheFolder) {
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
        uint16_t folder;
        uint32_t offset;
    };
    const struct {
        const char* what;
        std::vector<File> files;
        std::vector<std::vector<uint32_t>> blocks; // uncompressed sizes, by folder
    } cases[] = {
        {"empty file", {{"f.bin", {}, 0, 0}}, {{}}},
        {"one byte", {{"f.bin", RandomBytes(1, 3), 0, 0}}, {{1}}},
        {"one block", {{"f.bin", RandomBytes(32768, 3), 0, 0}}, {{32768}}},
        {"one block and a byte", {{"f.bin", RandomBytes(32769, 3), 0, 0}}, {{32768, 1}}},
        {"three blocks", {{"f.bin", RandomBytes(70000, 3), 0, 0}}, {{32768, 32768, 4464}}},
        {"three files in one folder",
         {{"a.txt", TextBytes(20000), 0, 0},
          {"b.bin", RandomBytes(20000, 1), 0, 20000},
          {"c.txt", {}, 0, 40000}},
         {{32768, 7232}}},
        {"the folder closes after the file that crosses the threshold",
         {{"big.bin", RandomBytes(1000000, 5), 0, 0}, {"small.txt", TextBytes(1000), 1, 0}},
         {FullBlocks(30, 16960), {1000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Writer w;
        std::vector<Source> sources;
        for (const File& f : c.files) {
            ASSERT_TRUE(w.Add(f.name, f.bytes));
            sources.push_back({w.dir.File(f.name), f.name});
        }
        ASSERT_TRUE(w.Flush());
        ASSERT_TRUE(w.Flush());
        ASSERT_TRUE(w.Finish()) << w.err.code;
        ReadCabinet cab = w.Read();
        ASSERT_EQ(cab.error, "");
        ASSERT_EQ(cab.folders.size(), c.blocks.size());
        for (size_t k = 0; k < c.blocks.size(); k++)
            EXPECT_EQ(UncompressedSizes(cab.folders[k]), c.blocks[k]) << "folder " << k;
        ASSERT_EQ(cab.files.size(), c.files.size());
        for (size_t k = 0; k < c.files.size(); k++) {
            EXPECT_EQ(cab.files[k].size, c.files[k].bytes.size()) << k;
            EXPECT_EQ(cab.files[k].folder, c.files[k].folder) << k;
            EXPECT_EQ(cab.files[k].offset, c.files[k].offset) << k;
        }
        ExpectCabextractAgrees(w.dir.File("w.CAB"), sources);
    }
}

TEST(CabinetWriter, NameLongerThan255BytesFailsWhenTheFolderCloses) {
    Writer w;
    ASSERT_TRUE(w.Add("a.txt", TextBytes(100), std::string(256, 'n')));
    EXPECT_FALSE(w.Flush());
    EXPECT_EQ(w.err.code, 4);
    EXPECT_EQ(w.err.failed, 1);
    FCIDestroy(w.cab);
    w.cab = nullptr;
    EXPECT_TRUE(w.dir.SpillFiles().empty());
}

TEST(CabinetWriter, UnknownCompressionTypeIsRefused) {
    Writer w;
    WriteFile(w.dir.File("a.txt"), TextBytes(10));
    EXPECT_FALSE(FCIAddFile(w.cab, w.dir.File("a.txt").c_str(), "a.txt", w.cb.nextCabinet,
                            w.cb.progress, w.cb.openSource, kCompressionNone));
    EXPECT_EQ(w.err.code, 5);
}

// The cabinet size at which `piece` compressed bytes of the second block of a lone
// 100000-byte file named "r.bin" fit: header 36, folder entry 8, record 16 + 6, the next
// names "w2.CAB" and "w" with their zeros, the first block and the second block's header.
uint32_t LimitForPiece(const std::vector<ReadBlock>& blocks, uint32_t piece) {
    return 36 + 8 + 22 + 7 + 2 + 8 + blocks[0].compressed + 8 + piece;
}

TEST(CabinetWriter, BlockThatReachesTheLimitIsCutAcrossCabinets) {
    std::vector<uint8_t> bytes = RandomBytes(100000, 11);
    std::vector<ReadBlock> whole;
    {
        Writer probe;
        ASSERT_TRUE(probe.Add("r.bin", bytes));
        ASSERT_TRUE(probe.Finish());
        whole = probe.Read().folders.at(0).blocks;
        ASSERT_EQ(whole.size(), 4u);
    }
    const uint32_t block = whole[1].compressed;
    // Compressed bytes of the second block that fit: all (none left), all but 100, one,
    // and none (no room beyond the block header).
    for (uint32_t piece : {block, block - 100, 1u, 0u}) {
        SCOPED_TRACE("piece " + std::to_string(piece));
        const uint32_t limit = LimitForPiece(whole, piece);
        Writer w(limit);
        ASSERT_TRUE(w.Add("r.bin", bytes));
        ASSERT_TRUE(w.Finish()) << w.err.code;
        ReadCabinet first = w.Read("w.CAB");
        ReadCabinet second = w.Read("w2.CAB");
        ASSERT_EQ(first.error, "");
        ASSERT_EQ(second.error, "");
        EXPECT_LE(first.fileSize, limit);
        ASSERT_EQ(first.files.size(), 1u);
        EXPECT_EQ(first.files[0].folder, 0xFFFE);
        ASSERT_EQ(second.files.size(), 1u);
        EXPECT_TRUE(second.files[0].folder == 0xFFFD || second.files[0].folder == 0xFFFF);
        const std::vector<ReadBlock>& a = first.folders.at(0).blocks;
        const std::vector<ReadBlock>& b = second.folders.at(0).blocks;
        ASSERT_FALSE(b.empty());
        if (piece == block)
            EXPECT_EQ(b[0].uncompressed, 32768) << "the rest is an empty piece";
        if (piece > 0) {
            ASSERT_EQ(a.size(), 2u);
            EXPECT_EQ(a[1].compressed, piece);
            EXPECT_EQ(a[1].uncompressed, 0);
            EXPECT_EQ(b[0].compressed, block - piece);
            EXPECT_EQ(first.fileSize, limit) << "the cabinet is filled to the byte";
        } else {
            // No piece of the second block fits, so the first one is cut after all its
            // bytes: a continued folder always ends inside a block.
            ASSERT_EQ(a.size(), 1u);
            EXPECT_EQ(a[0].compressed, whole[0].compressed);
            EXPECT_EQ(a[0].uncompressed, 0);
            EXPECT_EQ(b[0].compressed, 0);
        }
        ExpectCabextractAgrees(w.dir.File("w.CAB"), {{w.dir.File("r.bin"), "r.bin"}});
    }
}

// A source of zero-byte files that never touches the disk, for counting limits.
int OpenNothing(const char*, uint16_t* date, uint16_t* time, uint16_t* attributes, int*, void*) {
    *date = 0x21;
    *time = 0;
    *attributes = 0x20;
    return 1000000;
}
int ReadNothing(int handle, void* buffer, uint32_t count, int* err, void* context) {
    return handle == 1000000 ? 0 : ClientRead(handle, buffer, count, err, context);
}
int CloseNothing(int handle, int* err, void* context) {
    return handle == 1000000 ? 0 : ClientClose(handle, err, context);
}

TEST(CabinetWriter, MoreThan65535FilesInOneCabinetFailInsteadOfWrapping) {
    CabinetCallbacks cb = PlatformCallbacks();
    cb.read = ReadNothing;
    cb.close = CloseNothing;
    Writer w(0, cb);
    for (int i = 0; i < 65536; i++)
        ASSERT_TRUE(FCIAddFile(w.cab, "none", "z", w.cb.nextCabinet, w.cb.progress, OpenNothing,
                               kCompressionMsZip));
    EXPECT_FALSE(FCIFlushCabinet(w.cab, w.cb.nextCabinet, w.cb.progress));
    EXPECT_EQ(w.err.code, 9);
    FCIDestroy(w.cab);
    w.cab = nullptr;
    EXPECT_TRUE(w.dir.SpillFiles().empty());
    EXPECT_TRUE(w.dir.Names().empty());
}

// A folder hook that logs the writer's calls and fails one path with code 7. What a hook
// that passes files back or fills them itself does is seen in the shared work of
// several threads (parallel_test), whose hook it is.
struct HookLog {
    std::vector<std::string> calls;
    std::string failing;
};

FolderHookAnswer LogAddFile(void* user, CabinetClient* client, OpenFolder*, const char* sourcePath,
                            ClientOpenSourceFn, ClientProgressFn, FileRecord*) {
    HookLog* log = static_cast<HookLog*>(user);
    log->calls.push_back(std::string("add ") + StoredName(sourcePath));
    if (sourcePath != log->failing)
        return kHookPass;
    CabFail(client, kCabUserAbort, 0);
    return kHookFailed;
}
bool LogBeforeClose(void* user, CabinetClient*, OpenFolder*, ClientProgressFn) {
    static_cast<HookLog*>(user)->calls.push_back("close");
    return true;
}
void LogStop(void* user, CabinetClient*) {
    static_cast<HookLog*>(user)->calls.push_back("stop");
}
const FolderHook kLogHook = {LogAddFile, LogBeforeClose, LogStop};

TEST(FolderHook, OneAtATimeAskedForEveryFileAndItsFailureFailsTheCall) {
    Writer w;
    HookLog log;
    log.failing = w.dir.File("b.txt");
    ASSERT_TRUE(FCISetFolderHook(w.cab, &kLogHook, &log));
    EXPECT_FALSE(FCISetFolderHook(w.cab, &kLogHook, &log));
    ASSERT_TRUE(w.Add("a.txt", TextBytes(1000)));
    ASSERT_TRUE(w.Flush());
    EXPECT_FALSE(w.Add("b.txt", TextBytes(1000)));
    EXPECT_EQ(w.err.code, 7);
    EXPECT_TRUE(FCIDestroy(w.cab));
    w.cab = nullptr;
    EXPECT_EQ(log.calls, (std::vector<std::string>{"add a.txt", "close", "add b.txt", "stop"}));
    EXPECT_TRUE(w.dir.SpillFiles().empty());
}

} // namespace

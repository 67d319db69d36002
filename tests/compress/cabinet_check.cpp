// The independent check of a cabinet set, on top of the test reader.
#include "tests/compress/cabinet_check.h"

#include <algorithm>

#include "tests/compress/cabinet_reader.h"
#include "tests/compress/oracles.h"

namespace cabinet_test {
namespace {

const uint16_t kContinuedFromPrevious = 0xFFFD;
const uint16_t kContinuedToNext = 0xFFFE;
const uint16_t kContinuedBoth = 0xFFFF;

// One cabinet of the set, read by the test reader, and what its place in the set fixes.
std::string CheckCabinet(const CabinetSet& set, size_t index, ReadCabinet* cab) {
    const std::vector<uint8_t>& bytes = set.cabinets[index];
    std::string where = "cabinet " + std::to_string(index + 1) + ": ";
    *cab = ReadCabinetBytes(bytes);
    const ReadCabinet& read = *cab;
    if (!read.error.empty())
        return where + read.error;
    if (set.sizeLimit != 0 && bytes.size() > set.sizeLimit)
        return where + std::to_string(bytes.size()) + " bytes, beyond the limit of " +
               std::to_string(set.sizeLimit);
    if (read.versionMinor != 3 || read.versionMajor != 1)
        return where + "version is not 1.3";
    if (read.setId != set.setId || read.index != index)
        return where + "wrong set ID or cabinet index";
    bool first = index == 0, last = index + 1 == set.cabinets.size();
    if ((read.flags & ~3u) != 0 || bool(read.flags & 1) == first || bool(read.flags & 2) == last)
        return where + "flags " + std::to_string(read.flags) + " do not fit its place in the set";
    if (!first && (read.prevCabinet != set.cabinetNames[index - 1] ||
                   read.prevDisk != set.diskNames[index - 1]))
        return where + "does not name the previous cabinet and disk";
    if (!last && (read.nextCabinet != set.cabinetNames[index + 1] ||
                  read.nextDisk != set.diskNames[index + 1]))
        return where + "does not name the next cabinet and disk";
    for (const ReadFile& file : read.files) {
        bool known = file.folder < read.folders.size() || file.folder == kContinuedFromPrevious ||
                     file.folder == kContinuedToNext || file.folder == kContinuedBoth;
        if (!known)
            return where + "file " + file.name + " names folder " + std::to_string(file.folder);
    }
    size_t at = read.dataOffset;
    for (const ReadFolder& folder : read.folders) {
        if (folder.type != 1)
            return where + "folder of compression type " + std::to_string(folder.type);
        if (folder.firstBlock != at)
            return where + "data of a folder does not start where the previous one ended";
        for (const ReadBlock& block : folder.blocks) {
            if (block.uncompressed > 32768)
                return where + "data block of more than 32768 bytes";
            at += 8 + block.data.size();
        }
    }
    if (at != bytes.size())
        return where + std::to_string(bytes.size() - at) + " bytes after the last data block";
    return std::string();
}

// A folder put back together from its pieces in the cabinets of the set.
struct Folder {
    std::vector<uint8_t> data;
    std::vector<uint8_t> pending; // compressed bytes of a block split across cabinets
    bool splitPending = false;
};

std::string AddBlocks(Folder* folder, const std::vector<ReadBlock>& blocks) {
    for (const ReadBlock& block : blocks) {
        folder->pending.insert(folder->pending.end(), block.data.begin(), block.data.end());
        if (block.uncompressed == 0) { // the first piece of a split block
            folder->splitPending = true;
            continue;
        }
        folder->splitPending = false;
        size_t keep = std::min<size_t>(folder->data.size(), 32768);
        std::vector<uint8_t> history(folder->data.end() - keep, folder->data.end());
        std::vector<uint8_t> decoded;
        std::string error;
        if (!mszip_test::InflateMsZipBlock(folder->pending.data(), folder->pending.size(), history,
                                           block.uncompressed, &decoded, &error))
            return "MSZIP block at folder offset " + std::to_string(folder->data.size()) + ": " +
                   error;
        if (decoded.size() != block.uncompressed)
            return "MSZIP block gives " + std::to_string(decoded.size()) + " bytes for " +
                   std::to_string(block.uncompressed);
        folder->data.insert(folder->data.end(), decoded.begin(), decoded.end());
        folder->pending.clear();
    }
    return std::string();
}

struct PlacedFile {
    size_t folder;
    ReadFile record;
};

} // namespace

std::string CheckCabinetSet(const CabinetSet& set, const std::vector<ExpectedFile>& expected) {
    std::vector<Folder> folders;
    std::vector<PlacedFile> placed;
    bool continuing = false; // the last folder goes on in the next cabinet
    for (size_t c = 0; c < set.cabinets.size(); ++c) {
        ReadCabinet cab;
        std::string error = CheckCabinet(set, c, &cab);
        if (!error.empty())
            return error;
        std::string where = "cabinet " + std::to_string(c + 1) + ": ";
        bool fromPrevious = false, toNext = false;
        for (const ReadFile& f : cab.files) {
            fromPrevious |= f.folder == kContinuedFromPrevious || f.folder == kContinuedBoth;
            toNext |= f.folder == kContinuedToNext || f.folder == kContinuedBoth;
        }
        bool splitPending = !folders.empty() && folders.back().splitPending;
        if (fromPrevious != continuing || (splitPending && !continuing))
            return where + "continuation marks do not match the previous cabinet";
        if ((fromPrevious || toNext) && cab.folders.empty())
            return where + "continued files without a folder";
        std::vector<size_t> logical;
        for (size_t f = 0; f < cab.folders.size(); ++f) {
            if (!(f == 0 && continuing)) {
                if (!folders.empty() && folders.back().splitPending)
                    return where + "a split data block is not continued";
                folders.push_back(Folder());
            }
            logical.push_back(folders.size() - 1);
            error = AddBlocks(&folders.back(), cab.folders[f].blocks);
            if (!error.empty())
                return where + error;
        }
        for (const ReadFile& f : cab.files) {
            size_t folder = f.folder == kContinuedFromPrevious || f.folder == kContinuedBoth
                                ? logical.front()
                            : f.folder == kContinuedToNext ? logical.back()
                                                           : logical[f.folder];
            if (f.folder == kContinuedFromPrevious || f.folder == kContinuedBoth) {
                // Listed already in the cabinet where it began.
                bool seen = std::any_of(placed.begin(), placed.end(), [&](const PlacedFile& p) {
                    return p.folder == folder && p.record.offset == f.offset &&
                           p.record.size == f.size && p.record.name == f.name;
                });
                if (!seen)
                    return where + "continued file " + f.name + " did not begin before";
                continue;
            }
            placed.push_back({folder, f});
        }
        continuing = toNext;
    }
    if (continuing || (!folders.empty() && folders.back().splitPending))
        return "the last cabinet says that the set goes on";

    if (placed.size() != expected.size())
        return std::to_string(placed.size()) + " files in the set for " +
               std::to_string(expected.size()) + " added";
    std::vector<uint64_t> used(folders.size(), 0);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlacedFile& p = placed[i];
        const ExpectedFile& e = expected[i];
        std::string what = "file " + std::to_string(i + 1) + " (" + e.name + "): ";
        if (p.record.name != e.name)
            return what + "stored as " + p.record.name;
        if (p.record.size != e.data.size() || p.record.offset != used[p.folder])
            return what + "size or offset in its folder is wrong";
        if (p.record.date != e.date || p.record.time != e.time ||
            p.record.attributes != e.attributes)
            return what + "date, time or attributes are wrong";
        if (i > 0 && e.newFolder && placed[i - 1].folder == p.folder)
            return what + "shares a folder with the file before a folder close";
        if (i > 0 && p.folder < placed[i - 1].folder)
            return what + "is in a folder before the previous file's";
        const std::vector<uint8_t>& data = folders[p.folder].data;
        if (p.record.offset + e.data.size() > data.size() ||
            !std::equal(e.data.begin(), e.data.end(), data.begin() + p.record.offset))
            return what + "content differs";
        used[p.folder] += e.data.size();
    }
    for (size_t f = 0; f < folders.size(); ++f)
        if (used[f] != folders[f].data.size())
            return "folder " + std::to_string(f + 1) + " holds " +
                   std::to_string(folders[f].data.size()) + " bytes for files of " +
                   std::to_string(used[f]);
    return std::string();
}

} // namespace cabinet_test

// The independent cabinet-set check of the cabinet fuzz targets.
#include "tests/fuzz/cabinet_check.h"

#include <algorithm>

#include "tests/fuzz/inflate_oracle.h"

namespace fuzz {
namespace {

const uint16_t kContinuedFromPrevious = 0xFFFD;
const uint16_t kContinuedToNext = 0xFFFE;
const uint16_t kContinuedBoth = 0xFFFF;

struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t pos = 0;
    bool ok = true;
    uint32_t Get(int size) {
        if (pos + size > bytes.size()) {
            ok = false;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < size; ++i)
            v |= uint32_t(bytes[pos + i]) << (8 * i);
        pos += size;
        return v;
    }
    std::string Name() {
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != 0)
            ++end;
        if (end >= bytes.size()) {
            ok = false;
            return std::string();
        }
        std::string s(bytes.begin() + pos, bytes.begin() + end);
        pos = end + 1;
        return s;
    }
};

struct Block {
    uint16_t uncompressed;
    std::vector<uint8_t> data;
};

struct FileRecord {
    uint32_t size, offset;
    uint16_t folder, date, time, attributes;
    std::string name;
};

struct Cabinet {
    uint16_t flags = 0;
    std::vector<std::vector<Block>> folders;
    std::vector<FileRecord> files;
};

std::string ReadCabinet(const CabinetSet& set, size_t index, Cabinet* cab) {
    const std::vector<uint8_t>& bytes = set.cabinets[index];
    Reader r{bytes};
    std::string where = "cabinet " + std::to_string(index + 1) + ": ";
    if (bytes.size() < 36 || bytes[0] != 'M' || bytes[1] != 'S' || bytes[2] != 'C' ||
        bytes[3] != 'F')
        return where + "no MSCF header";
    r.pos = 4;
    uint32_t reserved1 = r.Get(4), cabinetSize = r.Get(4), reserved2 = r.Get(4);
    uint32_t filesOffset = r.Get(4), reserved3 = r.Get(4);
    uint32_t minor = r.Get(1), major = r.Get(1);
    uint32_t folderCount = r.Get(2), fileCount = r.Get(2);
    cab->flags = static_cast<uint16_t>(r.Get(2));
    uint32_t setId = r.Get(2), cabinetIndex = r.Get(2);
    if (reserved1 || reserved2 || reserved3)
        return where + "reserved header fields are not 0";
    if (cabinetSize != bytes.size())
        return where + "size field " + std::to_string(cabinetSize) + " for a file of " +
               std::to_string(bytes.size());
    if (set.sizeLimit != 0 && bytes.size() > set.sizeLimit)
        return where + std::to_string(bytes.size()) + " bytes, beyond the limit of " +
               std::to_string(set.sizeLimit);
    if (minor != 3 || major != 1)
        return where + "version is not 1.3";
    if (setId != set.setId || cabinetIndex != index)
        return where + "wrong set ID or cabinet index";
    bool first = index == 0, last = index + 1 == set.cabinets.size();
    if ((cab->flags & ~3u) != 0 || bool(cab->flags & 1) == first || bool(cab->flags & 2) == last)
        return where + "flags " + std::to_string(cab->flags) + " do not fit its place in the set";
    if (!first && (r.Name() != set.cabinetNames[index - 1] || r.Name() != set.diskNames[index - 1]))
        return where + "does not name the previous cabinet and disk";
    if (!last && (r.Name() != set.cabinetNames[index + 1] || r.Name() != set.diskNames[index + 1]))
        return where + "does not name the next cabinet and disk";
    if (!r.ok)
        return where + "header names run past the end";

    std::vector<std::pair<uint32_t, uint16_t>> folderEntries;
    for (uint32_t f = 0; f < folderCount; ++f) {
        uint32_t start = r.Get(4), blocks = r.Get(2), type = r.Get(2);
        if (type != 1)
            return where + "folder of compression type " + std::to_string(type);
        folderEntries.push_back({start, static_cast<uint16_t>(blocks)});
    }
    if (!r.ok || r.pos != filesOffset)
        return where + "file records do not follow the folder entries";
    for (uint32_t i = 0; i < fileCount; ++i) {
        FileRecord file;
        file.size = r.Get(4);
        file.offset = r.Get(4);
        file.folder = static_cast<uint16_t>(r.Get(2));
        file.date = static_cast<uint16_t>(r.Get(2));
        file.time = static_cast<uint16_t>(r.Get(2));
        file.attributes = static_cast<uint16_t>(r.Get(2));
        file.name = r.Name();
        if (!r.ok)
            return where + "file records run past the end";
        bool known = file.folder < folderCount || file.folder == kContinuedFromPrevious ||
                     file.folder == kContinuedToNext || file.folder == kContinuedBoth;
        if (!known)
            return where + "file " + file.name + " names folder " + std::to_string(file.folder);
        cab->files.push_back(file);
    }
    for (const auto& entry : folderEntries) {
        if (entry.first != r.pos)
            return where + "data of a folder does not start where the previous one ended";
        std::vector<Block> blocks;
        for (uint32_t b = 0; b < entry.second; ++b) {
            size_t headerAt = r.pos;
            uint32_t checksum = r.Get(4);
            uint32_t compressed = r.Get(2), uncompressed = r.Get(2);
            if (!r.ok || r.pos + compressed > bytes.size())
                return where + "data block runs past the end";
            Block block;
            block.uncompressed = static_cast<uint16_t>(uncompressed);
            block.data.assign(bytes.begin() + r.pos, bytes.begin() + r.pos + compressed);
            uint32_t expectedSum = BlockChecksum(
                bytes.data() + headerAt + 4, 4, BlockChecksum(block.data.data(), compressed, 0));
            if (checksum != expectedSum)
                return where + "data block with a wrong checksum";
            if (uncompressed > 32768)
                return where + "data block of more than 32768 bytes";
            r.pos += compressed;
            blocks.push_back(block);
        }
        cab->folders.push_back(blocks);
    }
    if (r.pos != bytes.size())
        return where + std::to_string(bytes.size() - r.pos) + " bytes after the last data block";
    return std::string();
}

// A folder put back together from its pieces in the cabinets of the set.
struct Folder {
    std::vector<uint8_t> data;
    std::vector<uint8_t> pending; // compressed bytes of a block split across cabinets
    bool splitPending = false;
};

std::string AddBlocks(Folder* folder, const std::vector<Block>& blocks) {
    for (const Block& block : blocks) {
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
        if (!InflateMsZipBlock(folder->pending.data(), folder->pending.size(), history,
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
    FileRecord record;
};

} // namespace

uint32_t BlockChecksum(const uint8_t* data, size_t size, uint32_t seed) {
    uint32_t sum = seed;
    size_t i = 0;
    for (; i + 4 <= size; i += 4)
        sum ^= uint32_t(data[i]) | uint32_t(data[i + 1]) << 8 | uint32_t(data[i + 2]) << 16 |
               uint32_t(data[i + 3]) << 24;
    uint32_t rest = 0;
    for (; i < size; ++i)
        rest = rest << 8 | data[i];
    return sum ^ rest;
}

std::string CheckCabinetSet(const CabinetSet& set, const std::vector<ExpectedFile>& expected) {
    std::vector<Folder> folders;
    std::vector<PlacedFile> placed;
    bool continuing = false; // the last folder goes on in the next cabinet
    for (size_t c = 0; c < set.cabinets.size(); ++c) {
        Cabinet cab;
        std::string error = ReadCabinet(set, c, &cab);
        if (!error.empty())
            return error;
        std::string where = "cabinet " + std::to_string(c + 1) + ": ";
        bool fromPrevious = false, toNext = false;
        for (const FileRecord& f : cab.files) {
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
            error = AddBlocks(&folders.back(), cab.folders[f]);
            if (!error.empty())
                return where + error;
        }
        for (const FileRecord& f : cab.files) {
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

} // namespace fuzz

// Test support: a cabinet reader written from the format, independent of the writer.
#include "tests/compress/cabinet_reader.h"

#include "tests/compress/test_data.h"

namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// Checksum of a byte run as the format defines it, written out independently here.
uint32_t Sum(const uint8_t* p, size_t n, uint32_t seed) {
    uint32_t s = seed;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s ^= uint32_t(p[i]) | uint32_t(p[i + 1]) << 8 | uint32_t(p[i + 2]) << 16 |
             uint32_t(p[i + 3]) << 24;
    }
    uint32_t v = 0;
    for (; i < n; i++)
        v = (v << 8) | p[i];
    return s ^ v;
}

bool ReadString(const std::vector<uint8_t>& b, size_t* at, std::string* out) {
    out->clear();
    while (*at < b.size() && b[*at] != 0)
        out->push_back(static_cast<char>(b[(*at)++]));
    if (*at >= b.size())
        return false;
    (*at)++;
    return true;
}

ReadCabinet Failed(ReadCabinet* cab, const char* error) {
    cab->error = error;
    return *cab;
}

} // namespace

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    mszip_test::ReadFile(path, bytes);
    return bytes;
}

ReadCabinet ReadCabinetFile(const std::string& path) {
    return ReadCabinetBytes(ReadBytes(path));
}

ReadCabinet ReadCabinetBytes(const std::vector<uint8_t>& b) {
    ReadCabinet cab;
    cab.fileSize = static_cast<uint32_t>(b.size());
    if (b.size() < 36)
        return Failed(&cab, "shorter than a header");
    if (b[0] != 'M' || b[1] != 'S' || b[2] != 'C' || b[3] != 'F')
        return Failed(&cab, "no MSCF signature");
    if (U32(b, 4) != 0 || U32(b, 12) != 0 || U32(b, 20) != 0)
        return Failed(&cab, "reserved field not 0");
    cab.cabinetSize = U32(b, 8);
    cab.filesOffset = U32(b, 16);
    cab.versionMinor = b[24];
    cab.versionMajor = b[25];
    uint32_t folders = U16(b, 26);
    uint32_t files = U16(b, 28);
    cab.flags = static_cast<uint16_t>(U16(b, 30));
    cab.setId = static_cast<uint16_t>(U16(b, 32));
    cab.index = static_cast<uint16_t>(U16(b, 34));
    if (cab.cabinetSize != b.size())
        return Failed(&cab, "cbCabinet differs from the file size");
    if (cab.flags & 0x0004)
        return Failed(&cab, "reserve flag set");
    size_t at = 36;
    if ((cab.flags & 1) &&
        !(ReadString(b, &at, &cab.prevCabinet) && ReadString(b, &at, &cab.prevDisk)))
        return Failed(&cab, "bad previous names");
    if ((cab.flags & 2) &&
        !(ReadString(b, &at, &cab.nextCabinet) && ReadString(b, &at, &cab.nextDisk)))
        return Failed(&cab, "bad next names");
    if (at + 8 * folders != cab.filesOffset || cab.filesOffset > b.size())
        return Failed(&cab, "files offset does not follow the folder entries");
    for (uint32_t i = 0; i < folders; i++, at += 8) {
        ReadFolder folder;
        folder.firstBlock = U32(b, at);
        folder.blockCount = static_cast<uint16_t>(U16(b, at + 4));
        folder.type = static_cast<uint16_t>(U16(b, at + 6));
        cab.folders.push_back(folder);
    }
    at = cab.filesOffset;
    for (uint32_t i = 0; i < files; i++) {
        if (at + 16 > b.size())
            return Failed(&cab, "file records run past the end");
        ReadFile file;
        file.size = U32(b, at);
        file.offset = U32(b, at + 4);
        file.folder = static_cast<uint16_t>(U16(b, at + 8));
        file.date = static_cast<uint16_t>(U16(b, at + 10));
        file.time = static_cast<uint16_t>(U16(b, at + 12));
        file.attributes = static_cast<uint16_t>(U16(b, at + 14));
        at += 16;
        if (!ReadString(b, &at, &file.name))
            return Failed(&cab, "unterminated file name");
        cab.files.push_back(file);
    }
    cab.dataOffset = static_cast<uint32_t>(at);
    for (ReadFolder& folder : cab.folders) {
        size_t p = folder.firstBlock;
        for (uint32_t k = 0; k < folder.blockCount; k++) {
            if (p + 8 > b.size())
                return Failed(&cab, "data block header past the end");
            ReadBlock block;
            block.checksum = U32(b, p);
            block.compressed = static_cast<uint16_t>(U16(b, p + 4));
            block.uncompressed = static_cast<uint16_t>(U16(b, p + 6));
            if (p + 8 + block.compressed > b.size())
                return Failed(&cab, "data block past the end");
            block.data.assign(b.begin() + p + 8, b.begin() + p + 8 + block.compressed);
            uint32_t sum = Sum(block.data.data(), block.data.size(), 0);
            sum = Sum(&b[p + 4], 4, sum);
            block.checksumOk = sum == block.checksum;
            if (!block.checksumOk)
                cab.error = "bad data block checksum";
            folder.blocks.push_back(block);
            p += 8 + block.compressed;
        }
    }
    return cab;
}

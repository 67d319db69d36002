// libdeflate and cabextract as oracles of the compressor's output.
#include "tests/compress/oracles.h"

#include <libdeflate.h>
#include <mspack.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

namespace mszip_test {

namespace {

void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Set32(Bytes& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string FileNameOf(size_t folder) {
    char name[32];
    std::snprintf(name, sizeof name, "folder%05zu.bin", folder);
    return name;
}

size_t CountDataBlocks(const CabinetFolder& folder) {
    size_t n = 0;
    for (uint32_t size : folder.blockSizes)
        n += size != 0;
    return n;
}

// Header, folder entries, file entries, then the data blocks; no reserve areas, and
// checksum 0, which the format reads as "no checksum". Empty blocks are left out: a
// data block with no uncompressed bytes would mean "continued in the next cabinet".
Bytes MakeCabinet(const std::vector<CabinetFolder>& folders) {
    Bytes cab;
    cab.insert(cab.end(), {'M', 'S', 'C', 'F'});
    Put32(cab, 0);    // reserved
    Put32(cab, 0);    // cabinet size, set below
    Put32(cab, 0);    // reserved
    Put32(cab, 0);    // offset of the first file entry, set below
    Put32(cab, 0);    // reserved
    cab.push_back(3); // version minor
    cab.push_back(1); // version major
    Put16(cab, static_cast<uint32_t>(folders.size()));
    Put16(cab, static_cast<uint32_t>(folders.size())); // one file per folder
    Put16(cab, 0);                                     // flags
    Put16(cab, 12345);                                 // set ID
    Put16(cab, 0);                                     // cabinet index
    size_t folderEntries = cab.size();
    for (const CabinetFolder& f : folders) {
        Put32(cab, 0); // offset of its first data block, set below
        Put16(cab, static_cast<uint32_t>(CountDataBlocks(f)));
        Put16(cab, 1); // MSZIP
    }
    Set32(cab, 16, static_cast<uint32_t>(cab.size()));
    for (size_t i = 0; i < folders.size(); i++) {
        Put32(cab, static_cast<uint32_t>(folders[i].data.size()));
        Put32(cab, 0);                                   // offset in its folder
        Put16(cab, static_cast<uint32_t>(i));            // folder index
        Put16(cab, ((2026 - 1980) << 9) | (1 << 5) | 1); // DOS date
        Put16(cab, 0);                                   // DOS time
        Put16(cab, 0x20);                                // archive attribute
        std::string name = FileNameOf(i);
        cab.insert(cab.end(), name.begin(), name.end());
        cab.push_back(0);
    }
    for (size_t i = 0; i < folders.size(); i++) {
        Set32(cab, folderEntries + 8 * i, static_cast<uint32_t>(cab.size()));
        for (size_t b = 0; b < folders[i].blocks.size(); b++) {
            if (folders[i].blockSizes[b] == 0)
                continue;
            Put32(cab, 0); // checksum: none
            Put16(cab, static_cast<uint32_t>(folders[i].blocks[b].size()));
            Put16(cab, folders[i].blockSizes[b]);
            cab.insert(cab.end(), folders[i].blocks[b].begin(), folders[i].blocks[b].end());
        }
    }
    Set32(cab, 8, static_cast<uint32_t>(cab.size()));
    return cab;
}

bool WriteFile(const std::string& path, const Bytes& contents) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

bool InflateMsZipBlock(const uint8_t* block, size_t size, const Bytes& history, size_t expectedSize,
                       Bytes* out, std::string* error) {
    if (size < 2 || block[0] != 'C' || block[1] != 'K') {
        *error = "block does not start with CK";
        return false;
    }
    Bytes stream;
    if (!history.empty()) {
        // Stored block, not final: header bits 000 padded to a byte, LEN, NLEN, bytes.
        uint16_t length = static_cast<uint16_t>(history.size());
        stream = {0x00, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                  static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)};
        stream.insert(stream.end(), history.begin(), history.end());
    }
    stream.insert(stream.end(), block + 2, block + size);

    static libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    Bytes data(history.size() + expectedSize + 1);
    size_t consumed = 0, produced = 0;
    libdeflate_result result = libdeflate_deflate_decompress_ex(
        decompressor, stream.data(), stream.size(), data.data(), data.size(), &consumed, &produced);
    if (result != LIBDEFLATE_SUCCESS) {
        *error = "libdeflate refuses the stream (result " + std::to_string(result) + ")";
        return false;
    }
    if (consumed != stream.size()) {
        *error = "the deflate stream ends " + std::to_string(stream.size() - consumed) +
                 " bytes before the block";
        return false;
    }
    if (produced < history.size()) {
        *error = "the stream is shorter than its history";
        return false;
    }
    out->assign(data.begin() + history.size(), data.begin() + produced);
    return true;
}

std::string CheckWithLibdeflateAfter(const Bytes& history, const Bytes& block,
                                     const Bytes& expected) {
    Bytes decoded;
    std::string error;
    if (!InflateMsZipBlock(block.data(), block.size(), history, expected.size(), &decoded, &error))
        return error;
    if (decoded.size() != expected.size())
        return "libdeflate gives " + std::to_string(decoded.size()) + " bytes instead of " +
               std::to_string(expected.size());
    return decoded == expected ? "" : "libdeflate gives other bytes";
}

std::string CheckWithLibdeflate(const Bytes& block, const Bytes& expected) {
    return CheckWithLibdeflateAfter(Bytes(), block, expected);
}

std::string CheckWithCabextract(const std::vector<CabinetFolder>& folders) {
    char dirTemplate[] = "/tmp/velaset-mszip-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr)
        return "cannot make a temporary folder";
    std::string dir = dirTemplate;
    std::string cab = dir + "/test.cab";
    std::string error;
    if (!WriteFile(cab, MakeCabinet(folders)))
        error = "cannot write " + cab;
    if (error.empty() && std::system(("cabextract -q -t " + cab + " >/dev/null").c_str()) != 0)
        error = "cabextract -t reports errors in " + cab;
    if (error.empty() &&
        std::system(("cabextract -q -d " + dir + "/out " + cab + " >/dev/null").c_str()) != 0)
        error = "cabextract cannot extract " + cab;
    for (size_t i = 0; error.empty() && i < folders.size(); i++) {
        Bytes extracted;
        if (!ReadFile(dir + "/out/" + FileNameOf(i), extracted))
            error = "cabextract gave no " + FileNameOf(i);
        else if (extracted != folders[i].data)
            error = "cabextract gives other bytes for folder " + std::to_string(i);
    }
    std::system(("rm -rf " + dir).c_str());
    return error;
}

std::string ExtractWithLibmspack(const std::string& cab, const std::string& dir) {
    mscab_decompressor* d = mspack_create_cab_decompressor(nullptr);
    mscabd_cabinet* c = d->open(d, const_cast<char*>(cab.c_str()));
    if (c == nullptr) {
        mspack_destroy_cab_decompressor(d);
        return "libmspack cannot open the cabinet";
    }
    std::string failure;
    for (mscabd_file* f = c->files; f != nullptr && failure.empty(); f = f->next) {
        std::string out = dir + "/" + f->filename;
        if (d->extract(d, f, const_cast<char*>(out.c_str())) != MSPACK_ERR_OK)
            failure = std::string("libmspack cannot extract ") + f->filename;
    }
    d->close(d, c);
    mspack_destroy_cab_decompressor(d);
    return failure;
}

} // namespace mszip_test

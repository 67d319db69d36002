// libdeflate and libmspack as oracles of the compressor's output.
#include "tests/compress/oracles.h"

#include <libdeflate.h>
#include <mspack.h>

namespace mszip_test {

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

std::string CheckWithLibdeflate(const Bytes& block, const Bytes& expected, const Bytes& history) {
    Bytes decoded;
    std::string error;
    if (!InflateMsZipBlock(block.data(), block.size(), history, expected.size(), &decoded, &error))
        return error;
    if (decoded.size() != expected.size())
        return "libdeflate gives " + std::to_string(decoded.size()) + " bytes instead of " +
               std::to_string(expected.size());
    return decoded == expected ? "" : "libdeflate gives other bytes";
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

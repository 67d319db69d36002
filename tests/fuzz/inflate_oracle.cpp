// The MSZIP block oracle on top of libdeflate's decompressor.
#include "tests/fuzz/inflate_oracle.h"

#include <libdeflate.h>

namespace fuzz {

bool InflateMsZipBlock(const uint8_t* block, size_t size, const std::vector<uint8_t>& history,
                       size_t expectedSize, std::vector<uint8_t>* out, std::string* error) {
    if (size < 2 || block[0] != 'C' || block[1] != 'K') {
        *error = "block does not start with CK";
        return false;
    }
    std::vector<uint8_t> stream;
    if (!history.empty()) {
        // Stored block, not final: header bits 000 padded to a byte, LEN, NLEN, bytes.
        uint16_t length = static_cast<uint16_t>(history.size());
        stream = {0x00, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                  static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)};
        stream.insert(stream.end(), history.begin(), history.end());
    }
    stream.insert(stream.end(), block + 2, block + size);

    static libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    std::vector<uint8_t> data(history.size() + expectedSize + 1);
    size_t consumed = 0, produced = 0;
    libdeflate_result result = libdeflate_deflate_decompress_ex(
        decompressor, stream.data(), stream.size(), data.data(), data.size(), &consumed,
        &produced);
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

} // namespace fuzz

// libdeflate's decompressor as the oracle for MSZIP blocks.
#ifndef VELASET_TESTS_FUZZ_INFLATE_ORACLE_H
#define VELASET_TESTS_FUZZ_INFLATE_ORACLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Decodes one MSZIP block ("CK" and a deflate stream that must end exactly at the end
// of the block) whose matches may reach into history (the previous block's bytes, or
// nothing). The history goes in front of the stream as a stored deflate block, so a
// plain decompressor sees history + block as one stream. On success *out is the
// block's own data; on failure *error says what was wrong.
bool InflateMsZipBlock(const uint8_t* block, size_t size, const std::vector<uint8_t>& history,
                       size_t expectedSize, std::vector<uint8_t>* out, std::string* error);

} // namespace fuzz

#endif

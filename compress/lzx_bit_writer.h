// Bit output of the LZX encoder: 16-bit words stored little-endian, each filled from its
// most significant bit, fields written most significant bit first. Raw bytes (of
// uncompressed blocks) go out between words. The caller sizes the buffer; every write
// is checked against it, and what does not fit sets the overflow flag.
#ifndef VELASET_COMPRESS_LZX_BIT_WRITER_H
#define VELASET_COMPRESS_LZX_BIT_WRITER_H

#include <cstdint>
#include <cstring>

namespace velaset::compress {

struct LzxBitWriter {
    uint8_t* out;
    uint32_t capacity;
    uint32_t count; // bytes written
    bool overflow;
    uint64_t bits; // pending bits, the oldest highest
    int fill;      // pending bits, below 16 between calls
};

inline void LzxBitsStart(LzxBitWriter& w, uint8_t* out, uint32_t capacity) {
    w.out = out;
    w.capacity = capacity;
    w.count = 0;
    w.overflow = false;
    w.bits = 0;
    w.fill = 0;
}

// Sends the low n bits of value (n at most 32).
inline void LzxBitsPut(LzxBitWriter& w, uint32_t value, int n) {
    w.bits = (w.bits << n) | (value & ((uint64_t(1) << n) - 1));
    w.fill += n;
    while (w.fill >= 16) {
        uint32_t word = static_cast<uint32_t>(w.bits >> (w.fill - 16)) & 0xFFFF;
        w.fill -= 16;
        if (w.capacity - w.count >= 2) {
            w.out[w.count] = static_cast<uint8_t>(word);
            w.out[w.count + 1] = static_cast<uint8_t>(word >> 8);
            w.count += 2;
        } else {
            w.overflow = true;
        }
    }
}

// Zero bits up to the next word boundary (none when already there).
inline void LzxBitsFlush(LzxBitWriter& w) {
    if (w.fill != 0)
        LzxBitsPut(w, 0, 16 - w.fill);
}

// Raw bytes after a word boundary.
inline void LzxBitsRaw(LzxBitWriter& w, const uint8_t* bytes, uint32_t n) {
    if (w.capacity - w.count < n) {
        w.overflow = true;
        return;
    }
    std::memcpy(w.out + w.count, bytes, n);
    w.count += n;
}

} // namespace velaset::compress

#endif

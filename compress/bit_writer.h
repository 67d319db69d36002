// Bit output of the deflate encoder: values go out least-significant bit first into the
// caller's buffer. Every byte is checked against the capacity; a byte that does not fit
// is dropped and the overflow flag is set, so nothing is ever written past the end.
#ifndef VELASET_COMPRESS_BIT_WRITER_H
#define VELASET_COMPRESS_BIT_WRITER_H

#include <cstdint>
#include <cstring>

namespace velaset::compress {

struct BitWriter {
    uint8_t* destination;
    uint32_t capacity;
    uint32_t count; // bytes written so far
    bool overflow;
    uint64_t bits; // pending bits, the oldest in the lowest position
    int fill;      // number of pending bits (below 32 between calls)
};

inline void BitWriterStart(BitWriter& w, uint8_t* destination, uint32_t capacity) {
    w.destination = destination;
    w.capacity = capacity;
    w.count = 0;
    w.overflow = false;
    w.bits = 0;
    w.fill = 0;
}

inline void BitWriterPutByte(BitWriter& w, uint8_t byte) {
    if (w.count < w.capacity)
        w.destination[w.count++] = byte;
    else
        w.overflow = true;
}

// Sends the low `count` bits of value (count at most 16).
inline void BitWriterSend(BitWriter& w, uint32_t value, int count) {
    w.bits |= static_cast<uint64_t>(value) << w.fill;
    w.fill += count;
    if (w.fill < 32)
        return;
    if (w.capacity - w.count >= 4) {
        uint8_t* p = w.destination + w.count;
        p[0] = static_cast<uint8_t>(w.bits);
        p[1] = static_cast<uint8_t>(w.bits >> 8);
        p[2] = static_cast<uint8_t>(w.bits >> 16);
        p[3] = static_cast<uint8_t>(w.bits >> 24);
        w.count += 4;
    } else {
        for (int i = 0; i < 4; i++)
            BitWriterPutByte(w, static_cast<uint8_t>(w.bits >> (8 * i)));
    }
    w.bits >>= 32;
    w.fill -= 32;
}

// Pads the pending bits with zeros to a whole byte and writes them out.
inline void BitWriterAlign(BitWriter& w) {
    while (w.fill > 0) {
        BitWriterPutByte(w, static_cast<uint8_t>(w.bits));
        w.bits >>= 8;
        w.fill -= 8;
    }
    w.bits = 0;
    w.fill = 0;
}

// Copies bytes after an Align.
inline void BitWriterCopy(BitWriter& w, const uint8_t* bytes, uint32_t length) {
    uint32_t room = w.capacity - w.count;
    uint32_t n = length <= room ? length : room;
    std::memcpy(w.destination + w.count, bytes, n);
    w.count += n;
    if (n < length)
        w.overflow = true;
}

} // namespace velaset::compress

#endif

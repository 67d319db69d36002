// The numbers of the LZX format as cabinet folders use it: frames, match limits, position
// slots, tree sizes. Described in ../shared/LZX.md.
#ifndef VELASET_COMPRESS_LZX_FORMAT_H
#define VELASET_COMPRESS_LZX_FORMAT_H

#include <cstdint>

namespace velaset::compress {

// Uncompressed bytes of one frame; every CFDATA of an LZX folder holds exactly one.
constexpr uint32_t kLzxFrameSize = 32768;
// Frames past the first 32768 of a folder are never E8-translated.
constexpr uint32_t kLzxE8Frames = 32768;
// Largest CFDATA payload decoders accept.
constexpr uint32_t kLzxMaxFramePayload = 38912;

constexpr uint32_t kLzxMaxMatch = 257;
// Lengths 2..8 sit in the main symbol; from 9 on the length tree adds L - 9.
constexpr uint32_t kLzxPrimaryLengths = 7;
constexpr int kLzxLengthSymbols = 249;
constexpr int kLzxAlignedSymbols = 8;
constexpr int kLzxPretreeSymbols = 20;
constexpr int kLzxChars = 256;
constexpr int kLzxMaxSlots = 50;
constexpr int kLzxMaxMainSymbols = kLzxChars + 8 * kLzxMaxSlots; // 656
constexpr int kLzxMaxCodeLength = 16;
constexpr int kLzxMaxPretreeLength = 15;
constexpr int kLzxMaxAlignedLength = 7;

enum LzxBlockType : uint8_t {
    kLzxVerbatim = 1,
    kLzxAligned = 2,
    kLzxUncompressed = 3,
};

constexpr int kLzxMinWindowBits = 15;
constexpr int kLzxMaxWindowBits = 21;

// Footer bits of a position slot: 0 for slots 0-3, slot / 2 - 1 up to 35, then 17.
constexpr int LzxFooterBits(int slot) {
    return slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17;
}

// The first formatted offset of each slot.
struct LzxSlotBases {
    uint32_t base[kLzxMaxSlots + 1];
    constexpr LzxSlotBases() : base() {
        base[0] = 0;
        for (int s = 0; s < kLzxMaxSlots; s++)
            base[s + 1] = base[s] + (uint32_t(1) << LzxFooterBits(s));
    }
};
constexpr LzxSlotBases kLzxSlots;

// Position slots of a window of 2^windowBits bytes: the first slot whose base reaches
// the window size (30 for 32 KB ... 50 for 2 MB).
constexpr int LzxSlotCount(int windowBits) {
    int s = 0;
    while (kLzxSlots.base[s] < (uint32_t(1) << windowBits))
        s++;
    return s;
}

// The slot of a formatted offset (matched offset + 2, or 0-2 for the repeated ones).
inline int LzxSlotOf(uint32_t formatted) {
    if (formatted < 4)
        return static_cast<int>(formatted);
    if (formatted >= 262144)
        return 36 + static_cast<int>((formatted - 262144) >> 17);
    int high = 31 - __builtin_clz(formatted);
    return 2 * high + static_cast<int>((formatted >> (high - 1)) & 1);
}

// CFFOLDER.typeCompress of an LZX folder.
constexpr uint16_t LzxCompressionType(int windowBits) {
    return static_cast<uint16_t>(0x0003 | (windowBits << 8));
}

// Farthest match offset used: one below the format's W - 3, as the oldest description
// allows, so that every decoder agrees.
constexpr uint32_t LzxMaxOffset(int windowBits) {
    return (uint32_t(1) << windowBits) - 4;
}

} // namespace velaset::compress

#endif

// E8 translation of one frame before it is compressed.
#include "compress/lzx_e8.h"

#include "compress/lzx_format.h"

namespace velaset::compress {

void LzxTranslateFrame(uint8_t* frame, uint32_t size, uint32_t frameIndex,
                       int32_t translationSize) {
    if (frameIndex >= kLzxE8Frames || size <= 10)
        return;
    const int64_t base = int64_t(frameIndex) * kLzxFrameSize;
    const int64_t limit = translationSize;
    for (uint32_t i = 0; i < size - 10;) {
        if (frame[i] != 0xE8) {
            i++;
            continue;
        }
        uint8_t* p = frame + i + 1;
        int64_t rel = static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 |
                                           uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        int64_t cur = base + i;
        if (rel >= -cur && rel < limit) {
            int64_t value = rel < limit - cur ? rel + cur : rel - limit;
            uint32_t v = static_cast<uint32_t>(value);
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
            p[3] = static_cast<uint8_t>(v >> 24);
        }
        i += 5;
    }
}

} // namespace velaset::compress

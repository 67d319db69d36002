// The E8 translation of LZX: in the frames of the first gigabyte of a folder, the 32-bit
// operand of every byte 0xE8 at least 11 bytes before the frame's end is turned from a
// relative into an absolute target when that target lies in [0, translationSize), as the
// decoder expects of an x86 CALL; the decoder turns it back frame by frame.
#ifndef VELASET_COMPRESS_LZX_E8_H
#define VELASET_COMPRESS_LZX_E8_H

#include <cstdint>

namespace velaset::compress {

// Translates one frame in place: frameIndex counts the folder's frames from 0, size is
// the frame's length (32768 but for the folder's last).
void LzxTranslateFrame(uint8_t* frame, uint32_t size, uint32_t frameIndex,
                       int32_t translationSize);

} // namespace velaset::compress

#endif

// The LZX stream of one folder: the segments' blocks written in order as bits, cut into
// frames of 32768 uncompressed bytes, each frame ending on a 16-bit boundary and handed
// out as the payload of one CFDATA. The writer keeps what crosses segments: the previous
// block's path lengths (the next trees are sent as differences from them), the repeated
// offsets and the position in the folder.
#ifndef VELASET_COMPRESS_LZX_STREAM_H
#define VELASET_COMPRESS_LZX_STREAM_H

#include <cstdint>

#include "compress/lzx_bit_writer.h"
#include "compress/lzx_format.h"
#include "compress/lzx_segment.h"

namespace velaset::compress {

// Room a frame buffer needs: the largest payload decoders take, and a little more, so that
// a frame that would pass the limit is seen and refused rather than cut.
constexpr uint32_t kLzxFrameBufferSize = kLzxMaxFramePayload + 1024;

// Told each finished frame: its payload and the uncompressed bytes it stands for; false
// stops the writing.
typedef bool (*LzxFrameSink)(const uint8_t* payload, uint32_t size, uint32_t uncompressed,
                             void* context);

struct LzxStream {
    int windowBits;
    int mainSymbols;         // 256 + 8 * position slots
    int32_t translationSize; // E8 translation size, 0 without translation
    bool headerSent;
    uint8_t previousMain[kLzxMaxMainSymbols];
    uint8_t previousLength[kLzxLengthSymbols];
    uint32_t repeated[3];
    uint64_t position;   // folder bytes written
    uint64_t frameStart; // folder position of the frame being written
    uint8_t* frame;      // kLzxFrameBufferSize bytes
    LzxBitWriter bits;
};

// A new folder's stream; translationSize 0 writes the header without E8 translation.
void LzxStreamStart(LzxStream* stream, uint8_t* frameBuffer, int windowBits,
                    int32_t translationSize);

// Writes the segment, which starts where the stream stands; a segment whose size is not
// a whole number of frames ends the folder. False when the sink refused a frame or a
// frame would have passed the largest payload.
bool LzxStreamWrite(LzxStream* stream, const LzxSegment& segment, LzxFrameSink sink,
                    void* context);

} // namespace velaset::compress

#endif

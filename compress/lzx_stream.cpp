// Writing the blocks of the parsed segments as one LZX stream cut into frames.
#include "compress/lzx_stream.h"

#include <cstring>

#include "compress/lzx_huffman.h"
#include "compress/lzx_trees.h"

namespace velaset::compress {

namespace {

struct BlockCodes {
    uint16_t main[kLzxMaxMainSymbols];
    uint16_t length[kLzxLengthSymbols];
    uint16_t aligned[kLzxAlignedSymbols];
};

struct Writer {
    LzxStream* s;
    LzxFrameSink sink;
    void* context;
    bool ok;
};

// Hands out the frame when its last byte has been written; in the middle of an
// uncompressed block's bytes nothing is padded.
void EndFrameIfDue(Writer& w, bool rawBytes) {
    LzxStream* s = w.s;
    if (s->position - s->frameStart != kLzxFrameSize)
        return;
    if (!rawBytes)
        LzxBitsFlush(s->bits);
    if (s->bits.overflow || s->bits.count > kLzxMaxFramePayload) {
        w.ok = false;
    } else if (w.ok && !w.sink(s->frame, s->bits.count, kLzxFrameSize, w.context)) {
        w.ok = false;
    }
    s->frameStart = s->position;
    LzxBitsStart(s->bits, s->frame, kLzxFrameBufferSize);
}

void PutCode(LzxBitWriter& bits, const uint16_t* codes, const uint8_t* lengths, int symbol) {
    LzxBitsPut(bits, codes[symbol], lengths[symbol]);
}

void WriteLiterals(Writer& w, const BlockCodes& codes, const LzxBlock& block, const uint8_t* data,
                   uint32_t count) {
    LzxStream* s = w.s;
    for (uint32_t i = 0; i < count; i++) {
        PutCode(s->bits, codes.main, block.mainLengths, data[i]);
        s->position++;
        EndFrameIfDue(w, false);
    }
}

void WriteMatch(Writer& w, const BlockCodes& codes, const LzxBlock& block, uint32_t code) {
    LzxStream* s = w.s;
    uint32_t length = LzxMatchLength(code);
    uint32_t formatted = LzxMatchFormatted(code);
    int slot = LzxSlotOf(formatted);
    uint32_t header = length - 2 < kLzxPrimaryLengths ? length - 2 : kLzxPrimaryLengths;
    PutCode(s->bits, codes.main, block.mainLengths, kLzxChars + 8 * slot + header);
    if (header == kLzxPrimaryLengths)
        PutCode(s->bits, codes.length, block.lengthLengths, length - 9);
    int footerBits = LzxFooterBits(slot);
    uint32_t footer = formatted - kLzxSlots.base[slot];
    if (slot >= 3 && footerBits > 0) {
        if (block.type == kLzxAligned && footerBits >= 3) {
            LzxBitsPut(s->bits, footer >> 3, footerBits - 3);
            PutCode(s->bits, codes.aligned, block.alignedLengths, footer & 7);
        } else {
            LzxBitsPut(s->bits, footer, footerBits);
        }
    }
    uint32_t* r = s->repeated;
    if (formatted == 1) {
        uint32_t t = r[0];
        r[0] = r[1];
        r[1] = t;
    } else if (formatted == 2) {
        uint32_t t = r[0];
        r[0] = r[2];
        r[2] = t;
    } else if (formatted >= 3) {
        r[2] = r[1];
        r[1] = r[0];
        r[0] = formatted - 2;
    }
    s->position += length;
    EndFrameIfDue(w, false);
}

void WriteCompressed(Writer& w, const LzxSegment& segment, const LzxBlock& block) {
    LzxStream* s = w.s;
    LzxBitWriter& bits = s->bits;
    LzxBitsPut(bits, block.type, 3);
    LzxBitsPut(bits, block.size, 24);
    if (block.type == kLzxAligned) {
        for (int i = 0; i < kLzxAlignedSymbols; i++)
            LzxBitsPut(bits, block.alignedLengths[i], 3);
    }
    LzxSendTree(bits, block.mainLengths, s->previousMain, kLzxChars);
    LzxSendTree(bits, block.mainLengths + kLzxChars, s->previousMain + kLzxChars,
                s->mainSymbols - kLzxChars);
    LzxSendTree(bits, block.lengthLengths, s->previousLength, kLzxLengthSymbols);
    std::memcpy(s->previousMain, block.mainLengths, kLzxMaxMainSymbols);
    std::memcpy(s->previousLength, block.lengthLengths, kLzxLengthSymbols);

    BlockCodes codes;
    LzxCanonicalCodes(block.mainLengths, s->mainSymbols, codes.main);
    LzxCanonicalCodes(block.lengthLengths, kLzxLengthSymbols, codes.length);
    LzxCanonicalCodes(block.alignedLengths, kLzxAlignedSymbols, codes.aligned);
    uint32_t at = block.start;
    for (uint32_t m = 0; m < block.matchCount; m++) {
        const LzxMatch& match = segment.matches[block.firstMatch + m];
        WriteLiterals(w, codes, block, segment.data + at, match.literals);
        at += match.literals;
        WriteMatch(w, codes, block, match.code);
        at += LzxMatchLength(match.code);
    }
    WriteLiterals(w, codes, block, segment.data + at, block.start + block.size - at);
}

void WriteUncompressed(Writer& w, const LzxSegment& segment, const LzxBlock& block) {
    LzxStream* s = w.s;
    LzxBitWriter& bits = s->bits;
    LzxBitsPut(bits, kLzxUncompressed, 3);
    LzxBitsPut(bits, block.size, 24);
    LzxBitsPut(bits, 0, bits.fill == 0 ? 16 : 16 - bits.fill);
    uint8_t offsets[12];
    for (int i = 0; i < 3; i++) {
        for (int b = 0; b < 4; b++)
            offsets[4 * i + b] = static_cast<uint8_t>(s->repeated[i] >> (8 * b));
    }
    LzxBitsRaw(bits, offsets, sizeof offsets);
    const uint8_t* data = segment.data + block.start;
    uint32_t left = block.size;
    while (left > 0) {
        uint32_t room = static_cast<uint32_t>(kLzxFrameSize - (s->position - s->frameStart));
        uint32_t n = left < room ? left : room;
        LzxBitsRaw(bits, data, n);
        data += n;
        left -= n;
        s->position += n;
        EndFrameIfDue(w, true);
    }
    if (block.size % 2 != 0) {
        const uint8_t pad = 0;
        LzxBitsRaw(bits, &pad, 1);
    }
}

} // namespace

void LzxStreamStart(LzxStream* stream, uint8_t* frameBuffer, int windowBits,
                    int32_t translationSize) {
    std::memset(stream, 0, sizeof *stream);
    stream->windowBits = windowBits;
    stream->mainSymbols = kLzxChars + 8 * LzxSlotCount(windowBits);
    stream->translationSize = translationSize;
    stream->repeated[0] = stream->repeated[1] = stream->repeated[2] = 1;
    stream->frame = frameBuffer;
    LzxBitsStart(stream->bits, frameBuffer, kLzxFrameBufferSize);
}

bool LzxStreamWrite(LzxStream* stream, const LzxSegment& segment, LzxFrameSink sink,
                    void* context) {
    Writer w = {stream, sink, context, true};
    if (!stream->headerSent) {
        if (stream->translationSize != 0) {
            LzxBitsPut(stream->bits, 1, 1);
            LzxBitsPut(stream->bits, static_cast<uint32_t>(stream->translationSize), 32);
        } else {
            LzxBitsPut(stream->bits, 0, 1);
        }
        stream->headerSent = true;
    }
    for (uint32_t b = 0; b < segment.blockCount && w.ok; b++) {
        const LzxBlock& block = segment.blocks[b];
        if (block.type == kLzxUncompressed)
            WriteUncompressed(w, segment, block);
        else
            WriteCompressed(w, segment, block);
    }
    // A segment that is not a whole number of frames ends the folder with a short frame.
    if (w.ok && stream->position != stream->frameStart) {
        LzxBitsFlush(stream->bits);
        uint32_t size = static_cast<uint32_t>(stream->position - stream->frameStart);
        if (stream->bits.overflow || stream->bits.count > kLzxMaxFramePayload ||
            !sink(stream->frame, stream->bits.count, size, context)) {
            w.ok = false;
        }
        stream->frameStart = stream->position;
        LzxBitsStart(stream->bits, stream->frame, kLzxFrameBufferSize);
    }
    return w.ok;
}

} // namespace velaset::compress

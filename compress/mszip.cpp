// MSZIP compressor: interface checks, the window of each block and its history.
#include "compress/mszip.h"

#include <cstring>

#include "compress/lazy_matcher.h"

namespace velaset::compress {

namespace {
constexpr uint32_t kLiveTag = 0x4349434D;
}

struct MsZipCompressor {
    uint32_t tag; // kLiveTag while the compressor may be used
    uint32_t blockSize;
    bool history; // the last block was a full one: the next may refer back into it
    MsZipReleaser release;
    uint8_t literalBuffer[kSymbolBufferSize];
    uint16_t distanceBuffer[kDistanceBufferSize];
    DeflateState state;
};

namespace {
bool IsLive(const MsZipCompressor* compressor) {
    return compressor != nullptr && compressor->tag == kLiveTag;
}
} // namespace

int MsZipCreate(uint32_t* blockSize, MsZipAllocator allocate, MsZipReleaser release,
                MsZipCompressor** compressor, uint32_t* maxOutputSize) {
    if (blockSize == nullptr || allocate == nullptr || release == nullptr ||
        compressor == nullptr || maxOutputSize == nullptr)
        return MSZIP_BAD_CALL;
    if (*blockSize == 0 || *blockSize > MSZIP_MAX_BLOCK_SIZE)
        *blockSize = MSZIP_MAX_BLOCK_SIZE;
    void* memory = allocate(sizeof(MsZipCompressor));
    if (memory == nullptr)
        return MSZIP_NO_MEMORY;
    // Everything starts zeroed, the window included: bytes beyond a block's end may
    // take part in comparisons, and they must be the same on every run.
    std::memset(memory, 0, sizeof(MsZipCompressor));
    MsZipCompressor* c = static_cast<MsZipCompressor*>(memory);
    c->tag = kLiveTag;
    c->blockSize = *blockSize;
    c->release = release;
    c->state.encoder.literals = c->literalBuffer;
    c->state.encoder.distances = c->distanceBuffer;
    *compressor = c;
    *maxOutputSize = *blockSize + MSZIP_OUTPUT_SLACK;
    return MSZIP_OK;
}

int MsZipCompress(MsZipCompressor* compressor, const void* input, uint32_t inputSize, void* output,
                  uint32_t outputCapacity, uint32_t* outputSize) {
    if (!IsLive(compressor) || inputSize > compressor->blockSize ||
        outputCapacity < compressor->blockSize + MSZIP_OUTPUT_SLACK || output == nullptr ||
        outputSize == nullptr || (input == nullptr && inputSize != 0))
        return MSZIP_BAD_CALL;
    DeflateState& s = compressor->state;
    bool history = compressor->history;
    if (inputSize != 0)
        std::memcpy(s.window + (history ? kBlockOffset : 0), input, inputSize);
    *outputSize =
        CompressWindowBlock(s, inputSize, history, static_cast<uint8_t*>(output), outputCapacity);
    compressor->history = inputSize == MSZIP_MAX_BLOCK_SIZE;
    if (s.encoder.out.overflow) {
        *outputSize = s.encoder.out.count; // what was written, never beyond the capacity
        return MSZIP_OVERFLOW;
    }
    return MSZIP_OK;
}

int MsZipReset(MsZipCompressor* compressor) {
    if (!IsLive(compressor))
        return MSZIP_BAD_CALL;
    compressor->history = false;
    return MSZIP_OK;
}

int MsZipRestart(MsZipCompressor* compressor) {
    if (!IsLive(compressor))
        return MSZIP_BAD_CALL;
    compressor->history = false;
    std::memset(compressor->state.window, 0, sizeof compressor->state.window);
    IndexClear(compressor->state.index);
    return MSZIP_OK;
}

int MsZipPrime(MsZipCompressor* compressor, const void* previous, uint32_t size) {
    if (!IsLive(compressor) || compressor->blockSize != MSZIP_MAX_BLOCK_SIZE ||
        size != MSZIP_MAX_BLOCK_SIZE || previous == nullptr)
        return MSZIP_BAD_CALL;
    DeflateState& s = compressor->state;
    // A full block leaves itself in both halves of the window.
    std::memcpy(s.window + kBlockOffset, previous, size);
    std::memcpy(s.window, previous, size);
    // The lazy matching enters every position that has three bytes ahead of it.
    IndexEnterBlock(s.index, s.window, kWindowSize - 3);
    compressor->history = true;
    return MSZIP_OK;
}

bool MsZipSameHistory(const MsZipCompressor* a, const MsZipCompressor* b) {
    if (!IsLive(a) || !IsLive(b) || !a->history || !b->history || a->blockSize != b->blockSize)
        return false;
    // The whole window: the history, and what stands beyond a shorter next block.
    return std::memcmp(a->state.window, b->state.window, kWindowSize) == 0 &&
           IndexSameForNextBlock(a->state.index, b->state.index, a->state.window);
}

int MsZipDestroy(MsZipCompressor* compressor) {
    if (!IsLive(compressor))
        return MSZIP_BAD_CALL;
    compressor->tag = 0;
    compressor->release(compressor);
    return MSZIP_OK;
}

} // namespace velaset::compress

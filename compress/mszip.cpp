// MSZIP compressor interface (first version: framing only, no compression yet).
#include "compress/mszip.h"

#include <cstring>

namespace {
constexpr uint32_t kLiveTag = 0x4349434D;
}

struct MsZipCompressor {
    uint32_t tag;
    uint32_t blockSize;
    MsZipReleaser release;
};

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
    MsZipCompressor* c = static_cast<MsZipCompressor*>(memory);
    c->tag = kLiveTag;
    c->blockSize = *blockSize;
    c->release = release;
    *compressor = c;
    *maxOutputSize = *blockSize + MSZIP_OUTPUT_SLACK;
    return MSZIP_OK;
}

int MsZipCompress(MsZipCompressor* compressor, const void*, uint32_t inputSize, void*,
                  uint32_t outputCapacity, uint32_t* outputSize) {
    if (compressor == nullptr || compressor->tag != kLiveTag ||
        inputSize > compressor->blockSize ||
        outputCapacity < compressor->blockSize + MSZIP_OUTPUT_SLACK)
        return MSZIP_BAD_CALL;
    *outputSize = 0;
    return MSZIP_BAD_CALL;
}

int MsZipReset(MsZipCompressor* compressor) {
    if (compressor == nullptr || compressor->tag != kLiveTag)
        return MSZIP_BAD_CALL;
    return MSZIP_OK;
}

int MsZipDestroy(MsZipCompressor* compressor) {
    if (compressor == nullptr || compressor->tag != kLiveTag)
        return MSZIP_BAD_CALL;
    compressor->tag = 0;
    compressor->release(compressor);
    return MSZIP_OK;
}

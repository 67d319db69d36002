// Temporary spill files of the cabinet writer and the reading back of them.
#include <cstring>

#include "compress/cabinet_context.h"
#include "compress/cabinet_format.h"

namespace velaset::compress {

namespace {

// Attempts at finding a fresh temporary name before giving up.
const int kSpillAttempts = 11;

const int kSpillFlags = kOpenReadWrite | kOpenCreate | kOpenExclusive | kOpenBinary;
const int kSpillPermission = kPermissionRead | kPermissionWrite;

} // namespace

bool CabFail(CabContext* cab, int code, int detail) {
    cab->err->code = code;
    cab->err->detail = detail;
    cab->err->failed = 1;
    return false;
}

void* CabAlloc(CabContext* cab, uint32_t size) {
    void* memory = cab->cb.alloc(size);
    if (memory == nullptr) {
        CabFail(cab, kCabOutOfMemory, 0);
    }
    return memory;
}

void CabRelease(CabContext* cab, void* memory) {
    if (memory != nullptr) {
        cab->cb.release(memory);
    }
}

void SpillInit(SpillFile* spill) {
    spill->size = 0;
    spill->handle = -1;
    spill->name[0] = '\0';
}

bool SpillCreate(CabContext* cab, SpillFile* spill) {
    SpillInit(spill);
    int detail = 0;
    for (int attempt = 0; attempt < kSpillAttempts; attempt++) {
        char name[256];
        if (!cab->cb.tempName(name, sizeof name, cab->context)) {
            continue;
        }
        name[sizeof name - 1] = '\0';
        int err = 0;
        int handle = cab->cb.open(name, kSpillFlags, kSpillPermission, &err, cab->context);
        if (handle != -1) {
            spill->handle = handle;
            std::memcpy(spill->name, name, sizeof name);
            return true;
        }
        detail = err;
    }
    return CabFail(cab, kCabTempFileFailed, detail);
}

bool SpillCreateGroup(CabContext* cab, SpillFile* const* spills, int count) {
    for (int i = 0; i < count; i++) {
        if (!SpillCreate(cab, spills[i])) {
            for (int j = 0; j < i; j++) {
                SpillRemove(cab, spills[j]);
            }
            return false;
        }
    }
    return true;
}

bool SpillWrite(CabContext* cab, SpillFile* spill, const void* bytes, uint32_t count) {
    if (count > kMaxFileBytes - spill->size) {
        return CabFail(cab, kCabFormatLimit, 0);
    }
    spill->size += count;
    int err = 0;
    int moved = cab->cb.write(spill->handle, bytes, count, &err, cab->context);
    if (moved < 0 || static_cast<uint32_t>(moved) != count) {
        return CabFail(cab, kCabTempFileFailed, err);
    }
    return true;
}

bool SpillRewind(CabContext* cab, SpillFile* spill) {
    int err = 0;
    if (cab->cb.seek(spill->handle, 0, 0, &err, cab->context) != 0) {
        return CabFail(cab, kCabTempFileFailed, err);
    }
    return true;
}

bool SpillRemove(CabContext* cab, SpillFile* spill, int* detail) {
    bool clean = true;
    int err = 0;
    if (spill->handle != -1) {
        if (cab->cb.close(spill->handle, &err, cab->context) != 0) {
            clean = false;
            if (detail != nullptr) {
                *detail = err;
            }
        }
        spill->handle = -1;
    }
    if (spill->name[0] != '\0') {
        err = 0;
        if (cab->cb.remove(spill->name, &err, cab->context) != 0) {
            clean = false;
            if (detail != nullptr) {
                *detail = err;
            }
        }
        spill->name[0] = '\0';
    }
    spill->size = 0;
    return clean;
}

bool SpillReuse(CabContext* cab, SpillFile* spill) {
    if (!SpillRewind(cab, spill)) {
        return false;
    }
    spill->size = 0;
    return true;
}

bool SpillIsEmpty(const SpillFile* spill) {
    return spill->size == 0;
}

void SpillMove(SpillFile* to, SpillFile* from) {
    *to = *from;
    SpillInit(from);
}

void SpillReaderStart(SpillReader* reader, SpillFile* spill, uint8_t* buffer) {
    reader->spill = spill;
    reader->buffer = buffer;
    reader->have = 0;
    reader->at = 0;
    reader->left = spill->size;
}

bool SpillReaderDone(const SpillReader* reader) {
    return reader->at == reader->have && reader->left == 0;
}

namespace {

bool Refill(CabContext* cab, SpillReader* reader) {
    uint32_t want = reader->left < kCopyChunk ? reader->left : kCopyChunk;
    uint32_t got = 0;
    while (got < want) {
        int err = 0;
        int n = cab->cb.read(reader->spill->handle, reader->buffer + got, want - got, &err,
                             cab->context);
        if (n <= 0) {
            // A spill that ends early was not written as counted.
            return CabFail(cab, kCabTempFileFailed, n < 0 ? err : 0);
        }
        got += static_cast<uint32_t>(n);
    }
    reader->left -= want;
    reader->have = want;
    reader->at = 0;
    return true;
}

} // namespace

bool SpillRead(CabContext* cab, SpillReader* reader, void* bytes, uint32_t count) {
    uint8_t* to = static_cast<uint8_t*>(bytes);
    while (count > 0) {
        if (reader->at == reader->have) {
            if (reader->left == 0) {
                return CabFail(cab, kCabTempFileFailed, 0);
            }
            if (!Refill(cab, reader)) {
                return false;
            }
        }
        uint32_t n = reader->have - reader->at;
        if (n > count) {
            n = count;
        }
        std::memcpy(to, reader->buffer + reader->at, n);
        reader->at += n;
        to += n;
        count -= n;
    }
    return true;
}

} // namespace velaset::compress

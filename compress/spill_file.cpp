// Temporary spill files of the cabinet writer and the reading back of them.
#include "compress/spill_file.h"

#include <cstring>

#include "compress/cabinet_format.h"

namespace velaset::compress {

namespace {

// Attempts at finding a fresh temporary name before giving up.
const int kSpillAttempts = 11;

const int kSpillFlags = kOpenReadWrite | kOpenCreate | kOpenExclusive | kOpenBinary;
const int kSpillPermission = kPermissionRead | kPermissionWrite;

} // namespace

void SpillInit(SpillFile* spill) {
    spill->size = 0;
    spill->handle = -1;
    spill->name[0] = '\0';
}

bool SpillCreate(CabinetClient* client, SpillFile* spill) {
    SpillInit(spill);
    int detail = 0;
    for (int attempt = 0; attempt < kSpillAttempts; attempt++) {
        char name[256];
        if (!client->cb.tempName(name, sizeof name, client->context)) {
            continue;
        }
        name[sizeof name - 1] = '\0';
        int err = 0;
        int handle = client->cb.open(name, kSpillFlags, kSpillPermission, &err, client->context);
        if (handle != -1) {
            spill->handle = handle;
            std::memcpy(spill->name, name, sizeof name);
            return true;
        }
        detail = err;
    }
    return CabFail(client, kCabTempFileFailed, detail);
}

bool SpillCreateGroup(CabinetClient* client, SpillFile* const* spills, int count) {
    for (int i = 0; i < count; i++) {
        if (!SpillCreate(client, spills[i])) {
            for (int j = 0; j < i; j++) {
                SpillRemove(client, spills[j]);
            }
            return false;
        }
    }
    return true;
}

bool SpillWrite(CabinetClient* client, SpillFile* spill, const void* bytes, uint32_t count) {
    if (count > kMaxFileBytes - spill->size) {
        return CabFail(client, kCabFormatLimit, 0);
    }
    spill->size += count;
    int err = 0;
    int moved = client->cb.write(spill->handle, bytes, count, &err, client->context);
    if (moved < 0 || static_cast<uint32_t>(moved) != count) {
        return CabFail(client, kCabTempFileFailed, err);
    }
    return true;
}

bool SpillRewind(CabinetClient* client, SpillFile* spill) {
    int err = 0;
    if (client->cb.seek(spill->handle, 0, 0, &err, client->context) != 0) {
        return CabFail(client, kCabTempFileFailed, err);
    }
    return true;
}

bool SpillRemove(CabinetClient* client, SpillFile* spill, int* detail) {
    bool clean = true;
    int err = 0;
    if (spill->handle != -1) {
        if (client->cb.close(spill->handle, &err, client->context) != 0) {
            clean = false;
            if (detail != nullptr) {
                *detail = err;
            }
        }
        spill->handle = -1;
    }
    if (spill->name[0] != '\0') {
        err = 0;
        if (client->cb.remove(spill->name, &err, client->context) != 0) {
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

bool SpillReuse(CabinetClient* client, SpillFile* spill) {
    if (!SpillRewind(client, spill)) {
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

bool Refill(CabinetClient* client, SpillReader* reader) {
    uint32_t want = reader->left < kCopyChunk ? reader->left : kCopyChunk;
    uint32_t got = 0;
    while (got < want) {
        int err = 0;
        int n = client->cb.read(reader->spill->handle, reader->buffer + got, want - got, &err,
                                client->context);
        if (n <= 0) {
            // A spill that ends early was not written as counted.
            return CabFail(client, kCabTempFileFailed, n < 0 ? err : 0);
        }
        got += static_cast<uint32_t>(n);
    }
    reader->left -= want;
    reader->have = want;
    reader->at = 0;
    return true;
}

} // namespace

bool SpillRead(CabinetClient* client, SpillReader* reader, void* bytes, uint32_t count) {
    uint8_t* to = static_cast<uint8_t*>(bytes);
    while (count > 0) {
        if (reader->at == reader->have) {
            if (reader->left == 0) {
                return CabFail(client, kCabTempFileFailed, 0);
            }
            if (!Refill(client, reader)) {
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

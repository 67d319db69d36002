// The client callbacks that are the same on every platform: memory, naming, progress.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compress/client.h"

namespace velaset::compress {

namespace {

void* ClientAlloc(uint32_t size) {
    return std::malloc(size);
}

void ClientFree(void* memory) {
    std::free(memory);
}

int ClientNextCabinet(CabinetParams* next, uint32_t, void* context) {
    const ComprimiSettings* settings = static_cast<const ComprimiSettings*>(context);
    CabinetName(settings->cabinetBase, next->cabinetNumber, next->cabinetName,
                sizeof next->cabinetName);
    std::strncpy(next->cabinetPath, settings->cabinetDir, sizeof next->cabinetPath - 1);
    next->cabinetPath[sizeof next->cabinetPath - 1] = '\0';
    return 1;
}

// A spilled block tells its uncompressed size; a cabinet being written tells 0, so that
// the caller may stop then too. A stop is remembered: the writer's failure that follows
// is the caller's wish, not an error to show.
long ClientProgress(unsigned kind, uint32_t, uint32_t value2, void* context) {
    ComprimiSettings* settings = static_cast<ComprimiSettings*>(context);
    if (settings == nullptr || settings->progress == nullptr) {
        return 0;
    }
    uint32_t bytes = kind == kProgressBlockSpilled ? value2 : 0;
    if (kind == kProgressCabinetDone) {
        return 0;
    }
    if (settings->progress(bytes, settings->progressContext) != 0) {
        settings->stopped = true;
        return -1;
    }
    return 0;
}

int ClientFilePlaced(CabinetParams*, const char*, uint32_t, bool, void*) {
    return 0;
}

} // namespace

void CabinetName(const char* base, int number, char* name, int size) {
    if (number <= 1) {
        std::snprintf(name, size, "%s.CAB", base);
    } else {
        std::snprintf(name, size, "%s%d.CAB", base, number);
    }
}

CabinetCallbacks PlatformCallbacks() {
    CabinetCallbacks cb;
    cb.filePlaced = ClientFilePlaced;
    cb.alloc = ClientAlloc;
    cb.release = ClientFree;
    cb.open = ClientOpen;
    cb.read = ClientRead;
    cb.write = ClientWrite;
    cb.close = ClientClose;
    cb.seek = ClientSeek;
    cb.remove = ClientDelete;
    cb.tempName = ClientTempName;
    cb.openSource = ClientOpenSource;
    cb.nextCabinet = ClientNextCabinet;
    cb.progress = ClientProgress;
    return cb;
}

const char* StoredName(const char* path) {
    const char* last = std::strrchr(path, ClientPathSeparator());
    return last != nullptr ? last + 1 : path;
}

} // namespace velaset::compress

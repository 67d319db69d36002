// Compressing folders ahead (first version: everything stays on the caller's thread).
#include "compress/folder_prefetch.h"

#include "compress/cabinet_context.h"

void FCIPrefetch(CabContext*, char* const*, uint32_t, ClientOpenSourceFn, unsigned) {}

bool PrefetchAddFile(CabContext* cab, const char* sourcePath, const char* name,
                     ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                     ClientOpenSourceFn openSource) {
    return CabAddFileSequential(cab, sourcePath, name, nextCabinet, progress, openSource);
}

bool PrefetchBeforeClose(CabContext*, ClientProgressFn) { return true; }

void PrefetchStop(CabContext*) {}

// Compressing the folders of a known file list ahead, on other threads. The writer takes
// the results in list order, so the cabinets are the same as with one thread.
#ifndef VELASET_COMPRESS_FOLDER_PREFETCH_H
#define VELASET_COMPRESS_FOLDER_PREFETCH_H

#include "compress/cabinet_types.h"

namespace velaset::compress {

struct CabContext;

// Announces the calls that will follow: entries are source paths in FCIAddFile order,
// null for each FCIFlushFolder. The entries must stay valid until FCIDestroy. Calls that
// do not match the plan are served on the caller's thread as usual; when threads cannot
// be started, everything is.
void FCIPrefetch(CabContext* cab, char* const* entries, uint32_t count,
                 ClientOpenSourceFn openSource, unsigned threads);

// Writer hooks.
bool PrefetchAddFile(CabContext* cab, const char* sourcePath, const char* name,
                     ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                     ClientOpenSourceFn openSource);
bool PrefetchBeforeClose(CabContext* cab, ClientProgressFn progress);
void PrefetchStop(CabContext* cab);

} // namespace velaset::compress

#endif

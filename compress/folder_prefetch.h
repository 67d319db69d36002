// Compressing the folders of a known file list ahead, on other threads. A folder hook of
// the writer: the writer takes the results in list order, so the cabinets are the same as
// with one thread.
#ifndef VELASET_COMPRESS_FOLDER_PREFETCH_H
#define VELASET_COMPRESS_FOLDER_PREFETCH_H

#include <cstdint>

#include "compress/cabinet_types.h"

namespace velaset::compress {

struct CabContext;

// Announces the calls that will follow on a fresh writer: entries are source paths in
// FCIAddFile order, null for each FCIFlushFolder. The entries must stay valid until
// FCIDestroy. Calls that do not match the plan are served on the caller's thread as
// usual; when threads cannot be started (or fewer than two are asked for), everything is.
void StartFolderPrefetch(CabContext* cab, char* const* entries, uint32_t count,
                         ClientOpenSourceFn openSource, unsigned threads);

} // namespace velaset::compress

#endif

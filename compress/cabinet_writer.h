// The cabinet writer: files added one at a time become a set of cabinet files
// (Microsoft cabinet format 1.3, MSZIP data blocks), all through client callbacks.
#ifndef VELASET_COMPRESS_CABINET_WRITER_H
#define VELASET_COMPRESS_CABINET_WRITER_H

#include "compress/cabinet_types.h"

namespace velaset::compress {

struct CabContext;
struct LzxSettings;
struct CabinetClient;
struct FolderHook;

// Calling order: FCICreate; any sequence of FCIAddFile and FCIFlushFolder; FCIFlushCabinet;
// FCIDestroy, which is also the only call allowed after a failure.
CabContext* FCICreate(CabError* err, ClientFilePlacedFn filePlaced, ClientAllocFn alloc,
                      ClientFreeFn release, ClientOpenFn open, ClientReadFn read,
                      ClientWriteFn write, ClientCloseFn close, ClientSeekFn seek,
                      ClientDeleteFn remove, ClientTempNameFn tempName, const CabinetParams* first,
                      void* context);
bool FCIAddFile(CabContext* cab, const char* sourcePath, const char* nameInCabinet,
                ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                ClientOpenSourceFn openSource, uint16_t compressionType);
bool FCIFlushFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress);
bool FCIFlushCabinet(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress);
bool FCIDestroy(CabContext* cab);

// Installs a folder hook (folder_hook.h) before the first file is added; the writer calls
// its stop function in FCIDestroy. Answers false, installing nothing, when the writer
// has a hook already.
bool FCISetFolderHook(CabContext* cab, const FolderHook* hook, void* user);
// Before the first file: LZX folders are parsed on `threads` threads (1: the caller's
// alone) with these settings; the cabinets are the same whatever the number.
void FCISetLzx(CabContext* cab, const LzxSettings& settings, unsigned threads);

// The writer's client, for a hook's own memory, files and threads.
CabinetClient* FCIClient(CabContext* cab);

} // namespace velaset::compress

#endif

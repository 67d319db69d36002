// Inside of the cabinet writer: the context that FCICreate makes and the helpers its
// operations share. Not for clients.
#ifndef VELASET_COMPRESS_CABINET_CONTEXT_H
#define VELASET_COMPRESS_CABINET_CONTEXT_H

#include "compress/cabinet_types.h"
#include "compress/cabinet_writer.h"
#include "compress/mszip.h"

namespace velaset::compress {

struct FolderPrefetch;

// A temporary file holding intermediate data.
struct SpillFile {
    uint32_t size; // bytes written; every write request adds its length before it is made
    int handle;    // -1 when closed
    char name[256];
};

// The open folder.
struct FolderBuilder {
    SpillFile data;        // per block: CFDATA header (checksum 0) and compressed bytes
    SpillFile files;       // per file: CFFILE record (folder index 0), name and zero
    uint32_t uncompressed; // uncompressed bytes of the folder so far
    uint16_t type;         // compression type; kNoTypeYet until the first file
    MsZipCompressor* compressor;
    uint32_t maxOutput; // largest block the compressor can produce
    uint8_t* input;     // kBlockSize bytes being gathered
    uint32_t fill;
    uint8_t* output; // maxOutput bytes
};

const uint16_t kNoTypeYet = 0x000F;

struct CabContext {
    CabinetCallbacks cb;
    void* context; // handed back to every callback but alloc and release
    CabError* err;

    CabinetParams current;
    CabinetParams next;

    SpillFile cabData;    // CFDATA blocks as they will stand in the cabinet, checksummed
    SpillFile cabFiles;   // CFFILE records with their final folder indices
    SpillFile cabFolders; // CFFOLDER records, offsets relative to the data area
    SpillFile restData;   // while a folder is closed: what goes on in the next cabinet
    SpillFile restFiles;

    uint32_t folderCount; // of the header under construction
    uint32_t fileCount;
    uint16_t flags;

    char prevCabinet[256];
    char prevDisk[256];
    char curCabinet[256];
    char curDisk[256];
    char nextCabinet[256];
    char nextDisk[256];

    uint32_t folderIndex;    // folder index within the current cabinet
    uint32_t cabinetCounter; // the header's cabinet index

    FolderBuilder folder;
    uint8_t* copyBuffer;  // kCopyChunk bytes for reading spills back and copying them
    uint8_t* blockBuffer; // one data block with its header, when read back

    FolderPrefetch* prefetch; // folders compressed ahead on other threads, or null
};

const uint32_t kCopyChunk = 32768;

// Fills the error record; always answers false so that callers can return it.
bool CabFail(CabContext* cab, int code, int detail);

void* CabAlloc(CabContext* cab, uint32_t size);
void CabRelease(CabContext* cab, void* memory);

// Spill files. Every failure is code 4 (temporary file) with the callback's detail.
void SpillInit(SpillFile* spill);
bool SpillCreate(CabContext* cab, SpillFile* spill);
// Creates several spills; when one fails, the ones made in the same call are removed.
bool SpillCreateGroup(CabContext* cab, SpillFile* const* spills, int count);
bool SpillWrite(CabContext* cab, SpillFile* spill, const void* bytes, uint32_t count);
bool SpillRewind(CabContext* cab, SpillFile* spill);
// Closes and deletes; answers false (without touching the error record) when either fails,
// with the callback's detail in *detail when given.
bool SpillRemove(CabContext* cab, SpillFile* spill, int* detail = nullptr);
bool SpillIsEmpty(const SpillFile* spill);
// Empties a spill for new data without making a new file: reading stops at the size
// written, so older bytes further on are never seen.
bool SpillReuse(CabContext* cab, SpillFile* spill);
// Makes `to` hold what `from` held, leaving `from` closed and nameless.
void SpillMove(SpillFile* to, SpillFile* from);

// Reads a rewound spill back in order through the context's copy buffer.
struct SpillReader {
    SpillFile* spill;
    uint8_t* buffer;
    uint32_t have; // bytes in the buffer
    uint32_t at;   // next byte of the buffer
    uint32_t left; // bytes of the spill not yet read into the buffer
};
void SpillReaderStart(SpillReader* reader, SpillFile* spill, uint8_t* buffer);
bool SpillReaderDone(const SpillReader* reader);
bool SpillRead(CabContext* cab, SpillReader* reader, void* bytes, uint32_t count);

// Writer steps shared between the operations.
// Every folder gets a fresh compressor: the compressor's window keeps bytes of earlier
// blocks that take part in its comparisons, so only a fresh one makes a folder's bytes
// depend on its own files alone (and lets other threads compress it ahead).
bool CabRenewCompressor(CabContext* cab);
bool CabSpillBlock(CabContext* cab, ClientProgressFn progress);
bool CabCloseFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress);
bool CabWriteCabinet(CabContext* cab, ClientProgressFn progress, uint32_t progressTotal,
                     uint32_t estimate);
void CabResetHeader(CabContext* cab);
// Steps of adding a file up to its record, without the closing of a full folder; with a
// null name only the file's data is added (its record is already there).
bool CabReadFileIntoFolder(CabContext* cab, const char* sourcePath, const char* name,
                           ClientProgressFn progress, ClientOpenSourceFn openSource);
bool CabAddFileSequential(CabContext* cab, const char* sourcePath, const char* name,
                          ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                          ClientOpenSourceFn openSource);
bool CabAppendFileRecord(CabContext* cab, uint32_t size, uint32_t offset, uint16_t date,
                         uint16_t time, uint16_t attributes, const char* name);
bool CabCloseFolderIfFull(CabContext* cab, ClientNextCabinetFn nextCabinet,
                          ClientProgressFn progress);

} // namespace velaset::compress

#endif

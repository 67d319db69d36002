// Spill files: temporary files that hold the writer's intermediate data, so that memory
// use stays the same whatever the size of the files. Every failure is code 4 (temporary
// file) with the callback's detail.
#ifndef VELASET_COMPRESS_SPILL_FILE_H
#define VELASET_COMPRESS_SPILL_FILE_H

#include <cstdint>

#include "compress/cabinet_client.h"

namespace velaset::compress {

// Bytes moved at a time when a spill is read back or copied; the size of the buffers
// handed to a SpillReader.
const uint32_t kCopyChunk = 32768;

struct SpillFile {
    uint32_t size; // bytes written; every write request adds its length before it is made
    int handle;    // -1 when closed
    char name[256];
};

// A spill with no file yet: closed, nameless, empty.
void SpillInit(SpillFile* spill);
bool SpillCreate(CabinetClient* client, SpillFile* spill);
// Creates several spills; when one fails, the ones made in the same call are removed.
bool SpillCreateGroup(CabinetClient* client, SpillFile* const* spills, int count);
bool SpillWrite(CabinetClient* client, SpillFile* spill, const void* bytes, uint32_t count);
bool SpillRewind(CabinetClient* client, SpillFile* spill);
// Closes and deletes; answers false (without touching the error record) when either fails,
// with the callback's detail in *detail when given.
bool SpillRemove(CabinetClient* client, SpillFile* spill, int* detail = nullptr);
bool SpillIsEmpty(const SpillFile* spill);
// Empties a spill for new data without making a new file: reading stops at the size
// written, so older bytes further on are never seen.
bool SpillReuse(CabinetClient* client, SpillFile* spill);
// Makes `to` hold what `from` held, leaving `from` closed and nameless.
void SpillMove(SpillFile* to, SpillFile* from);

// Reads a rewound spill back in order through a buffer of kCopyChunk bytes.
struct SpillReader {
    SpillFile* spill;
    uint8_t* buffer;
    uint32_t have; // bytes in the buffer
    uint32_t at;   // next byte of the buffer
    uint32_t left; // bytes of the spill not yet read into the buffer
};
void SpillReaderStart(SpillReader* reader, SpillFile* spill, uint8_t* buffer);
bool SpillReaderDone(const SpillReader* reader);
bool SpillRead(CabinetClient* client, SpillReader* reader, void* bytes, uint32_t count);

} // namespace velaset::compress

#endif

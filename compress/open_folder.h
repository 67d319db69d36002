// The open folder: the data blocks and file records of the folder being filled, each in a
// spill file of its own, and the compressor that turns the gathered bytes into blocks.
// Consecutive files share blocks: a block is spilled whenever kBlockSize bytes have
// gathered, whichever files they came from, so only a folder's last block is shorter.
#ifndef VELASET_COMPRESS_OPEN_FOLDER_H
#define VELASET_COMPRESS_OPEN_FOLDER_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/lzx_folder.h"
#include "compress/mszip.h"
#include "compress/spill_file.h"

namespace velaset::compress {

struct OpenFolder {
    SpillFile data;        // per block: CFDATA header (checksum 0) and compressed bytes
    SpillFile files;       // per file: CFFILE record (folder index 0), name and zero
    uint32_t uncompressed; // uncompressed bytes of the folder so far
    uint16_t type;         // compression type; kNoTypeYet until the first file
    MsZipCompressor* compressor; // of an MSZIP folder
    LzxFolder* lzx;              // the stream of an LZX folder
    LzxSettings lzxSettings;     // of LZX folders (their window from the type)
    unsigned threads;            // that an LZX stream may parse on
    uint32_t maxOutput;          // largest block the compressor can produce
    uint8_t* input;     // kBlockSize bytes being gathered
    uint32_t fill;
    uint8_t* output; // maxOutput bytes
};

const uint16_t kNoTypeYet = 0x000F;

// What a file's CFFILE record holds besides its name and folder index.
struct FileRecord {
    uint32_t size;
    uint32_t offset; // of the file's first byte in the folder's uncompressed data
    uint16_t date;
    uint16_t time;
    uint16_t attributes;
};

// Where each spilled block is told: kind 0 with its compressed and uncompressed sizes,
// and this context. An answer of -1 stops with code 7.
struct BlockReport {
    ClientProgressFn progress;
    void* context;
};

// No spill files, no compressor, no type yet; LZX with its defaults on one thread.
void FolderInit(OpenFolder* folder);
bool FolderCreateSpills(CabinetClient* client, OpenFolder* folder);
// Closes and deletes both spills; false when either fails, with the detail in *detail.
bool FolderRemoveSpills(CabinetClient* client, OpenFolder* folder, int* detail);

// Drops the compressor and the block buffers, then sets up a fresh compressor and its
// buffers for the type: MSZIP, or LZX with a window of 2^15 to 2^21 bytes (any other is
// code 5).
bool FolderSetType(CabinetClient* client, OpenFolder* folder, uint16_t type);
void FolderReleaseCompressor(CabinetClient* client, OpenFolder* folder);
// Every folder gets a fresh compressor: the compressor's window keeps bytes of earlier
// blocks that take part in its comparisons, so only a fresh one makes a folder's bytes
// depend on its own files alone (and lets other threads compress it ahead). An existing
// compressor is restarted as new (MsZipRestart), which costs far less than making one.
bool FolderRenewCompressor(CabinetClient* client, OpenFolder* folder);

// Compresses the gathered bytes (if any) into one data block at the end of the data spill.
// An LZX folder takes them as a frame of its stream and spills the blocks it finishes
// meanwhile, which may be earlier frames or none.
bool FolderSpillBlock(CabinetClient* client, OpenFolder* folder, const BlockReport& report);
// Reads one source file into the folder, spilling each block that fills up, and
// describes the file's record (code 1 when the source cannot be opened, 2 when it cannot
// be read).
bool FolderAddFileData(CabinetClient* client, OpenFolder* folder, const char* sourcePath,
                       ClientOpenSourceFn openSource, const BlockReport& report,
                       FileRecord* record);
bool FolderAppendRecord(CabinetClient* client, OpenFolder* folder, const FileRecord& record,
                        const char* name);
// The folder's data is complete: the last, partial block is spilled, and what follows
// starts a new folder with a fresh compressor.
bool FolderEndData(CabinetClient* client, OpenFolder* folder, const BlockReport& report);
// No block, no record and no gathered byte.
bool FolderIsEmpty(const OpenFolder* folder);

// A CFFOLDER type of LZX this writer makes: 3 with a window of 15 to 21 bits.
bool IsLzxType(uint16_t type);

} // namespace velaset::compress

#endif

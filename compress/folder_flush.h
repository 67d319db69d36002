// Closing the open folder: its blocks and file records move into the cabinet being
// assembled; what does not fit under the size limit goes on in the next cabinet of the
// set, and every cabinet that fills up is written on the way.
#ifndef VELASET_COMPRESS_FOLDER_FLUSH_H
#define VELASET_COMPRESS_FOLDER_FLUSH_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/cabinet_file.h"
#include "compress/open_folder.h"
#include "compress/spill_file.h"

namespace velaset::compress {

// What a flush works with besides the folder and the cabinet: the spills that gather what
// goes on in the next cabinet (they exist only while a folder is being split), and the
// buffers for reading spills back.
struct FolderFlush {
    SpillFile restData;
    SpillFile restFiles;
    uint8_t* copyBuffer;  // kCopyChunk bytes for reading spills back and copying them
    uint8_t* blockBuffer; // one data block with its header, when read back
};

void FlushInit(FolderFlush* flush);
// Both buffers; false (code 3) when either could not be had.
bool FlushAllocate(CabinetClient* client, FolderFlush* flush);
// Removes the rest spills and releases the buffers; false when a spill could not be
// closed or deleted, with the detail in *detail.
bool FlushRelease(CabinetClient* client, FolderFlush* flush, int* detail);

// The folder is to be closed after the file just added: its compressed data passed the
// folder threshold, or the cabinet would grow past its size limit. Both tests use spill
// sizes only, so a partly filled input block does not count. Never for LZX folders.
bool FolderIsFull(const OpenFolder* folder, const OpenCabinet* cabinet);

// Moves the folder, whose data is complete (FolderEndData), into the cabinet; the spills
// of the folder are empty afterwards. Nothing happens to an empty folder. moreFolders:
// other folders may follow (false for the last folder of the set), and each one may open
// the next cabinet, whose names then join this cabinet's header.
bool FlushFolder(CabinetClient* client, OpenFolder* folder, OpenCabinet* cabinet,
                 FolderFlush* flush, bool moreFolders, ClientNextCabinetFn nextCabinet,
                 ClientProgressFn progress);

} // namespace velaset::compress

#endif

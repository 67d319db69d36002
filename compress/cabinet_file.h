// The cabinet being assembled: its folder entries, file entries and data blocks in three
// spill files, the counts of its header and the names of its neighbours in the set; and
// the writing of the cabinet file from them.
#ifndef VELASET_COMPRESS_CABINET_FILE_H
#define VELASET_COMPRESS_CABINET_FILE_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/cabinet_types.h"
#include "compress/spill_file.h"

namespace velaset::compress {

struct OpenCabinet {
    CabinetParams current;
    CabinetParams next;

    SpillFile data;    // CFDATA blocks as they will stand in the cabinet, checksummed
    SpillFile files;   // CFFILE records with their final folder indices
    SpillFile folders; // CFFOLDER records, offsets relative to the data area

    uint32_t folderCount; // of the header under construction
    uint32_t fileCount;

    // Empty when there is no such cabinet; each at most 255 bytes and its zero.
    char prevCabinet[256];
    char prevDisk[256];
    char curCabinet[256];
    char curDisk[256];
    char nextCabinet[256];
    char nextDisk[256];

    uint32_t folderIndex;    // folder index within the current cabinet
    uint32_t cabinetCounter; // the header's cabinet index

    // The client has already named the next cabinet (in `next`) while this one is open;
    // its names join this header only when this cabinet is closed.
    bool nextKnown;
    uint32_t nextNameCost;
};

// The most that the next cabinet's names can add to a header: two names of 255 bytes
// and their zeros.
const uint32_t kMostNextNameCost = 2 * 256;

// The first cabinet of a set, with no spill files yet; a size limit of 0 is taken as
// 0x7FFFFFF.
void CabinetInit(OpenCabinet* cabinet, const CabinetParams* first);
bool CabinetCreateSpills(CabinetClient* client, OpenCabinet* cabinet);
// Closes and deletes the three spills; false when any fails, with the detail in *detail.
bool CabinetRemoveSpills(CabinetClient* client, OpenCabinet* cabinet, int* detail);

// The header with the previous cabinet's names, before any next names are known.
uint64_t CabinetHeaderSize(const OpenCabinet* cabinet);

// A folder entry; its offset is relative to the start of the cabinet's data blocks.
bool CabinetAddFolder(CabinetClient* client, OpenCabinet* cabinet, uint32_t offset, uint32_t blocks,
                      uint16_t type);
// A CFFILE record (with its final folder index) and its name of `length` bytes, zero
// included.
bool CabinetAddFile(CabinetClient* client, OpenCabinet* cabinet, const uint8_t* record,
                    const char* name, uint32_t length);

// The client names the next cabinet (code 7 when it answers -1), once per cabinet; answers
// in *nameCost the bytes that the next names would add to this cabinet's header. This
// cabinet may still be the last one: the names are not yet part of it.
bool CabinetLearnNext(CabinetClient* client, OpenCabinet* cabinet, uint32_t estimate,
                      ClientNextCabinetFn nextCabinet, uint32_t* nameCost);
// This cabinet will be closed: the next cabinet's names (learnt now unless already known)
// join its header.
bool CabinetAskNext(CabinetClient* client, OpenCabinet* cabinet, uint32_t estimate,
                    ClientNextCabinetFn nextCabinet, uint32_t* nameCost);
// After the cabinet was written: the next one becomes current, with what is left of the
// size limit when it is on the same disk.
void CabinetMoveToNext(OpenCabinet* cabinet);

// Writes the cabinet file, header first in one forward pass; the signature goes in last,
// so an interrupted file is never taken for a cabinet. Progress kind 1 counts the bytes
// copied against progressTotal, kind 2 reports estimate and the file size; the spills
// start afresh. copyBuffer holds kCopyChunk bytes.
bool CabinetWrite(CabinetClient* client, OpenCabinet* cabinet, uint8_t* copyBuffer,
                  ClientProgressFn progress, uint32_t progressTotal, uint32_t estimate);

} // namespace velaset::compress

#endif

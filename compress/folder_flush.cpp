// Closing the open folder: its blocks and file records move into the cabinet spills, and
// what does not fit under the size limit goes on in the next cabinet of the set.
#include <cstring>

#include "compress/cabinet_checksum.h"
#include "compress/cabinet_context.h"
#include "compress/cabinet_format.h"
#include "compress/folder_prefetch.h"

namespace velaset::compress {

namespace {

const uint32_t kDefaultSizeLimit = 0x7FFFFFF;

uint32_t NameCost(const char* name) {
    return static_cast<uint32_t>(std::strlen(name)) + 1;
}

void CopyName(char* to, const char* from) {
    std::strncpy(to, from, 255);
    to[255] = '\0';
}

uint32_t Clamp32(int64_t value) {
    return value > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

// Moves the folder's blocks: those that fit go to the cabinet data spill with their
// checksums, the rest (and the second piece of a split block) to the rest spill.
bool PlaceBlocks(CabContext* cab, bool closing, int64_t room, uint32_t* blocks, uint64_t* placed,
                 uint32_t estimate, ClientProgressFn progress) {
    FolderBuilder* f = &cab->folder;
    if (!SpillRewind(cab, &f->data)) {
        return false;
    }
    SpillReader reader;
    SpillReaderStart(&reader, &f->data, cab->copyBuffer);
    const int64_t limit = room + f->data.size;
    int64_t consumed = 0;
    uint32_t handled = 0;
    uint8_t* block = cab->blockBuffer;
    while (!SpillReaderDone(&reader)) {
        if (!SpillRead(cab, &reader, block, kDataHeaderSize)) {
            return false;
        }
        uint32_t cbData = Get16(block + 4);
        uint32_t cbUncomp = Get16(block + 6);
        uint8_t* data = block + kDataHeaderSize;
        if (!SpillRead(cab, &reader, data, cbData)) {
            return false;
        }
        int64_t before = consumed;
        consumed += kDataHeaderSize + cbData;
        // A folder that fits as a whole keeps all its blocks, even at exactly the limit.
        // Otherwise the cabinet must end inside a block: readers take the first block of
        // a continued folder as the rest of a split one. So a block after which no piece
        // of the next one would fit is itself split, all its bytes before the cut.
        bool last = SpillReaderDone(&reader);
        bool fits =
            !closing || (consumed < limit && (last || limit - consumed > int64_t(kDataHeaderSize)));
        bool split = !fits && before + kDataHeaderSize < limit;
        if ((fits || split) && *blocks == 0xFFFF) {
            return CabFail(cab, kCabFormatLimit, 0);
        }
        if (fits) {
            *blocks += 1;
            *placed += cbUncomp;
            Put32(block, DataBlockChecksum(data, cbData, cbUncomp));
            if (!SpillWrite(cab, &cab->cabData, block, kDataHeaderSize + cbData)) {
                return false;
            }
        } else if (!split) {
            if (!SpillWrite(cab, &cab->restData, block, kDataHeaderSize + cbData)) {
                return false;
            }
        } else {
            int64_t room = limit - before - kDataHeaderSize;
            uint32_t k = room < cbData ? static_cast<uint32_t>(room) : cbData;
            uint8_t piece[kDataHeaderSize];
            Put16(piece + 4, k);
            Put16(piece + 6, 0);
            Put32(piece, DataBlockChecksum(data, k, 0));
            *blocks += 1;
            Put16(block + 4, cbData - k);
            if (!SpillWrite(cab, &cab->cabData, piece, kDataHeaderSize) ||
                !SpillWrite(cab, &cab->cabData, data, k) ||
                !SpillWrite(cab, &cab->restData, block, kDataHeaderSize) ||
                !SpillWrite(cab, &cab->restData, data + k, cbData - k)) {
                return false;
            }
        }
        handled += cbData;
        if (progress(kProgressCopying, handled, estimate, cab->context) == -1) {
            return CabFail(cab, kCabUserAbort, 0);
        }
    }
    return true;
}

// Moves the folder's file records into the cabinet; a file whose data goes on in the next
// cabinet is listed again, as continued, for that cabinet.
bool PlaceFiles(CabContext* cab, uint64_t placed) {
    FolderBuilder* f = &cab->folder;
    if (!SpillRewind(cab, &f->files)) {
        return false;
    }
    SpillReader reader;
    SpillReaderStart(&reader, &f->files, cab->copyBuffer);
    uint8_t record[kFileEntrySize];
    char name[kMaxNameLength + 1];
    while (!SpillReaderDone(&reader)) {
        if (!SpillRead(cab, &reader, record, sizeof record)) {
            return false;
        }
        uint32_t length = 0;
        for (;;) {
            if (length == sizeof name) {
                // A name without its zero within 256 bytes cannot be stored.
                return CabFail(cab, kCabTempFileFailed, 0);
            }
            if (!SpillRead(cab, &reader, name + length, 1)) {
                return false;
            }
            if (name[length++] == '\0') {
                break;
            }
        }
        uint32_t size = Get32(record);
        uint32_t offset = Get32(record + 4);
        uint32_t index = Get16(record + 8);
        bool continued = index == kFolderContinuedFromPrev || index == kFolderContinuedBoth;
        if (cab->cb.filePlaced(&cab->current, name, size, continued, cab->context) == -1) {
            return CabFail(cab, kCabUserAbort, 0);
        }
        if (!continued) {
            index = cab->folderIndex;
        }
        if (uint64_t(offset) + size > placed) {
            index =
                index == kFolderContinuedFromPrev ? kFolderContinuedBoth : kFolderContinuedToNext;
        }
        if (cab->fileCount == 0xFFFF) {
            return CabFail(cab, kCabFormatLimit, 0);
        }
        Put16(record + 8, index);
        if (!SpillWrite(cab, &cab->cabFiles, record, sizeof record) ||
            !SpillWrite(cab, &cab->cabFiles, name, length)) {
            return false;
        }
        cab->fileCount++;
        if (index == kFolderContinuedToNext || index == kFolderContinuedBoth) {
            Put16(record + 8, kFolderContinuedFromPrev);
            if (!SpillWrite(cab, &cab->restFiles, record, sizeof record) ||
                !SpillWrite(cab, &cab->restFiles, name, length)) {
                return false;
            }
        }
    }
    return true;
}

// Asks the client for the next cabinet of the set; answers the room left in this one.
bool StartNextCabinet(CabContext* cab, uint32_t estimate, ClientNextCabinetFn nextCabinet,
                      int64_t* room) {
    CopyName(cab->curCabinet, cab->current.cabinetName);
    CopyName(cab->curDisk, cab->current.diskName);
    cab->next = cab->current;
    cab->next.cabinetNumber += 1;
    if (nextCabinet(&cab->next, estimate, cab->context) == -1) {
        return CabFail(cab, kCabUserAbort, 0);
    }
    CopyName(cab->nextCabinet, cab->next.cabinetName);
    CopyName(cab->nextDisk, cab->next.diskName);
    *room = int64_t(cab->current.sizeLimit) -
            (int64_t(estimate) + NameCost(cab->nextCabinet) + NameCost(cab->nextDisk));
    if (cab->next.sizeLimit == 0) {
        cab->next.sizeLimit = kDefaultSizeLimit;
    }
    return true;
}

} // namespace

bool CabCloseFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress) {
    FolderBuilder* f = &cab->folder;
    if (cab->prefetch != nullptr && !PrefetchBeforeClose(cab, progress)) {
        return false;
    }
    if (f->compressor != nullptr) {
        if (!CabSpillBlock(cab, progress)) {
            return false;
        }
        if (!CabRenewCompressor(cab)) {
            return false;
        }
    }
    f->uncompressed = 0;
    if (SpillIsEmpty(&f->data) && SpillIsEmpty(&f->files)) {
        return true;
    }
    uint64_t placed = 0;
    while (!SpillIsEmpty(&f->data) || !SpillIsEmpty(&f->files)) {
        uint64_t headerSize = kHeaderSize;
        if (cab->prevCabinet[0] != '\0') {
            headerSize += NameCost(cab->prevCabinet) + NameCost(cab->prevDisk);
        }
        uint64_t wide = headerSize + cab->cabFiles.size + kFolderEntrySize + f->files.size +
                        f->data.size + cab->cabFolders.size + cab->cabData.size;
        uint32_t estimate = Clamp32(static_cast<int64_t>(wide));
        if (progress(kProgressCopying, 0, estimate, cab->context) == -1) {
            return CabFail(cab, kCabUserAbort, 0);
        }
        int64_t room = int64_t(cab->current.sizeLimit) - static_cast<int64_t>(wide);
        bool closing = room < 0;
        if (closing && !StartNextCabinet(cab, estimate, nextCabinet, &room)) {
            return false;
        }
        bool freshCabinet = cab->cabData.size == 0 && cab->cabFolders.size == 0;
        if (closing && room + f->data.size <= int64_t(kDataHeaderSize) && !SpillIsEmpty(&f->data)) {
            if (freshCabinet) {
                // Not even a piece of one block fits into an empty cabinet: the set would
                // never end.
                return CabFail(cab, kCabFormatLimit, 0);
            }
            // Nothing of this folder fits: it starts in the next cabinet as it is.
        } else {
            SpillFile* rest[] = {&cab->restData, &cab->restFiles};
            if (closing && !SpillCreateGroup(cab, rest, 2)) {
                return false;
            }
            uint32_t blocks = 0;
            uint32_t offset = cab->cabData.size;
            if (!PlaceBlocks(cab, closing, room, &blocks, &placed, estimate, progress)) {
                return false;
            }
            if (cab->folderCount == 0xFFFF) {
                return CabFail(cab, kCabFormatLimit, 0);
            }
            uint8_t entry[kFolderEntrySize];
            Put32(entry, offset);
            Put16(entry + 4, blocks);
            Put16(entry + 6, f->type);
            cab->folderCount++;
            if (!SpillWrite(cab, &cab->cabFolders, entry, sizeof entry) ||
                !PlaceFiles(cab, placed)) {
                return false;
            }
            if (closing) {
                // What goes on in the next cabinet becomes the open folder.
                int detail = 0;
                bool removed = SpillRemove(cab, &f->data, &detail);
                removed = SpillRemove(cab, &f->files, &detail) && removed;
                SpillMove(&f->data, &cab->restData);
                SpillMove(&f->files, &cab->restFiles);
                if (!removed) {
                    return CabFail(cab, kCabTempFileFailed, detail);
                }
            } else if (!SpillReuse(cab, &f->data) || !SpillReuse(cab, &f->files)) {
                return false;
            }
        }
        if (closing) {
            if (!CabWriteCabinet(cab, progress, cab->cabFiles.size + cab->cabData.size, estimate)) {
                return false;
            }
            if (cab->current.sizeLimit != 0 && cab->next.diskNumber == cab->current.diskNumber) {
                cab->next.sizeLimit = cab->current.sizeLimit;
            }
            cab->current = cab->next;
            cab->folderIndex = 0;
        }
    }
    cab->folderIndex++;
    return true;
}

} // namespace velaset::compress

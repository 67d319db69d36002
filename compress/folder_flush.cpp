// Closing the open folder: its blocks and file records move into the cabinet spills, and
// what does not fit under the size limit goes on in the next cabinet of the set.
#include "compress/folder_flush.h"

#include "compress/cabinet_checksum.h"
#include "compress/cabinet_format.h"
#include "compress/lzx_format.h"

namespace velaset::compress {

namespace {

// What one flush works on.
struct Parts {
    CabinetClient* client;
    OpenFolder* folder;
    OpenCabinet* cabinet;
    FolderFlush* flush;
};

uint32_t Clamp32(int64_t value) {
    return value > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

// Moves the folder's blocks: those that fit go to the cabinet data spill with their
// checksums, the rest (and the second piece of a split block) to the rest spill.
bool PlaceBlocks(const Parts& p, bool closing, int64_t room, uint32_t* blocks, uint64_t* placed,
                 uint32_t estimate, ClientProgressFn progress) {
    CabinetClient* client = p.client;
    OpenFolder* f = p.folder;
    if (!SpillRewind(client, &f->data)) {
        return false;
    }
    SpillReader reader;
    SpillReaderStart(&reader, &f->data, p.flush->copyBuffer);
    const int64_t limit = room + f->data.size;
    int64_t consumed = 0;
    uint32_t handled = 0;
    uint8_t* block = p.flush->blockBuffer;
    while (!SpillReaderDone(&reader)) {
        if (!SpillRead(client, &reader, block, kDataHeaderSize)) {
            return false;
        }
        uint32_t cbData = Get16(block + 4);
        uint32_t cbUncomp = Get16(block + 6);
        uint8_t* data = block + kDataHeaderSize;
        if (!SpillRead(client, &reader, data, cbData)) {
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
            return CabFail(client, kCabFormatLimit, 0);
        }
        if (fits) {
            *blocks += 1;
            *placed += cbUncomp;
            Put32(block, DataBlockChecksum(data, cbData, cbUncomp));
            if (!SpillWrite(client, &p.cabinet->data, block, kDataHeaderSize + cbData)) {
                return false;
            }
        } else if (!split) {
            if (!SpillWrite(client, &p.flush->restData, block, kDataHeaderSize + cbData)) {
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
            if (!SpillWrite(client, &p.cabinet->data, piece, kDataHeaderSize) ||
                !SpillWrite(client, &p.cabinet->data, data, k) ||
                !SpillWrite(client, &p.flush->restData, block, kDataHeaderSize) ||
                !SpillWrite(client, &p.flush->restData, data + k, cbData - k)) {
                return false;
            }
        }
        handled += cbData;
        if (progress(kProgressCopying, handled, estimate, client->context) == -1) {
            return CabFail(client, kCabUserAbort, 0);
        }
    }
    return true;
}

// Moves the folder's file records into the cabinet; a file whose data goes on in the next
// cabinet is listed again, as continued, for that cabinet.
bool PlaceFiles(const Parts& p, uint64_t placed) {
    CabinetClient* client = p.client;
    OpenCabinet* cabinet = p.cabinet;
    OpenFolder* f = p.folder;
    if (!SpillRewind(client, &f->files)) {
        return false;
    }
    SpillReader reader;
    SpillReaderStart(&reader, &f->files, p.flush->copyBuffer);
    uint8_t record[kFileEntrySize];
    char name[kMaxNameLength + 1];
    while (!SpillReaderDone(&reader)) {
        if (!SpillRead(client, &reader, record, sizeof record)) {
            return false;
        }
        uint32_t length = 0;
        for (;;) {
            if (length == sizeof name) {
                // A name without its zero within 256 bytes cannot be stored.
                return CabFail(client, kCabTempFileFailed, 0);
            }
            if (!SpillRead(client, &reader, name + length, 1)) {
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
        if (client->cb.filePlaced(&cabinet->current, name, size, continued, client->context) ==
            -1) {
            return CabFail(client, kCabUserAbort, 0);
        }
        if (!continued) {
            index = cabinet->folderIndex;
        }
        if (uint64_t(offset) + size > placed) {
            index =
                index == kFolderContinuedFromPrev ? kFolderContinuedBoth : kFolderContinuedToNext;
        }
        Put16(record + 8, index);
        if (!CabinetAddFile(client, cabinet, record, name, length)) {
            return false;
        }
        if (index == kFolderContinuedToNext || index == kFolderContinuedBoth) {
            Put16(record + 8, kFolderContinuedFromPrev);
            if (!SpillWrite(client, &p.flush->restFiles, record, sizeof record) ||
                !SpillWrite(client, &p.flush->restFiles, name, length)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

void FlushInit(FolderFlush* flush) {
    SpillInit(&flush->restData);
    SpillInit(&flush->restFiles);
    flush->copyBuffer = nullptr;
    flush->blockBuffer = nullptr;
}

bool FlushAllocate(CabinetClient* client, FolderFlush* flush) {
    flush->copyBuffer = static_cast<uint8_t*>(CabAlloc(client, kCopyChunk));
    // The largest data block of either type: an LZX frame may take up to 38912 bytes.
    const uint32_t largest = kBlockSize + MSZIP_OUTPUT_SLACK > kLzxMaxFramePayload
                                 ? kBlockSize + MSZIP_OUTPUT_SLACK
                                 : kLzxMaxFramePayload;
    flush->blockBuffer = static_cast<uint8_t*>(CabAlloc(client, kDataHeaderSize + largest));
    return flush->copyBuffer != nullptr && flush->blockBuffer != nullptr;
}

bool FlushRelease(CabinetClient* client, FolderFlush* flush, int* detail) {
    bool clean = SpillRemove(client, &flush->restData, detail);
    clean = SpillRemove(client, &flush->restFiles, detail) && clean;
    CabRelease(client, flush->copyBuffer);
    CabRelease(client, flush->blockBuffer);
    flush->copyBuffer = nullptr;
    flush->blockBuffer = nullptr;
    return clean;
}

bool FolderIsFull(const OpenFolder* folder, const OpenCabinet* cabinet) {
    // An LZX folder's spill grows when its workers are done, not with its files: a
    // decision on it would depend on the threads. Such folders end where the list says,
    // and the flush spans them over cabinets.
    if (folder->lzx != nullptr) {
        return false;
    }
    uint64_t projected = uint64_t(kHeaderSize) + cabinet->files.size + kFolderEntrySize +
                         cabinet->folders.size + cabinet->data.size + folder->files.size +
                         folder->data.size;
    return folder->data.size > cabinet->current.folderThreshold ||
           projected > cabinet->current.sizeLimit;
}

bool FlushFolder(CabinetClient* client, OpenFolder* folder, OpenCabinet* cabinet,
                 FolderFlush* flush, bool moreFolders, ClientNextCabinetFn nextCabinet,
                 ClientProgressFn progress) {
    const Parts parts = {client, folder, cabinet, flush};
    if (SpillIsEmpty(&folder->data) && SpillIsEmpty(&folder->files)) {
        return true;
    }
    uint64_t placed = 0;
    while (!SpillIsEmpty(&folder->data) || !SpillIsEmpty(&folder->files)) {
        uint64_t wide = CabinetHeaderSize(cabinet) + cabinet->files.size + kFolderEntrySize +
                        folder->files.size + folder->data.size + cabinet->folders.size +
                        cabinet->data.size;
        uint32_t estimate = Clamp32(static_cast<int64_t>(wide));
        if (progress(kProgressCopying, 0, estimate, client->context) == -1) {
            return CabFail(client, kCabUserAbort, 0);
        }
        int64_t room = int64_t(cabinet->current.sizeLimit) - static_cast<int64_t>(wide);
        bool closing = room < 0;
        bool freshCabinet = cabinet->data.size == 0 && cabinet->folders.size == 0;
        if (!closing && moreFolders && room < int64_t(kMostNextNameCost)) {
            // A later folder may open the next cabinet, and its names then join this
            // header: the folder leaves room for them, or this cabinet is closed after a
            // piece of it. (A folder that has not even a piece to spare goes whole into
            // a fresh cabinet, there being no better place for it.)
            uint32_t nameCost = 0;
            if (!CabinetLearnNext(client, cabinet, estimate, nextCabinet, &nameCost)) {
                return false;
            }
            int64_t spare = room - int64_t(nameCost);
            closing = spare < 0 &&
                      !(freshCabinet && spare + folder->data.size <= int64_t(kDataHeaderSize));
        }
        if (closing) {
            // This cabinet is closed after the folder; the next one's names join its header.
            uint32_t nameCost = 0;
            if (!CabinetAskNext(client, cabinet, estimate, nextCabinet, &nameCost)) {
                return false;
            }
            room = int64_t(cabinet->current.sizeLimit) - (int64_t(estimate) + nameCost);
        }
        // Without data only the folder's entry and file records are to place, and they fit
        // only whole; with data at least a piece of one block must fit.
        bool nothingFits = SpillIsEmpty(&folder->data)
                               ? room < 0
                               : room + folder->data.size <= int64_t(kDataHeaderSize);
        if (closing && nothingFits) {
            if (freshCabinet) {
                // Not even a piece of one block fits into an empty cabinet: the set would
                // never end.
                return CabFail(client, kCabFormatLimit, 0);
            }
            // Nothing of this folder fits: it starts in the next cabinet as it is.
        } else {
            SpillFile* rest[] = {&flush->restData, &flush->restFiles};
            if (closing && !SpillCreateGroup(client, rest, 2)) {
                return false;
            }
            uint32_t blocks = 0;
            uint32_t offset = cabinet->data.size;
            if (!PlaceBlocks(parts, closing, room, &blocks, &placed, estimate, progress) ||
                !CabinetAddFolder(client, cabinet, offset, blocks, folder->type) ||
                !PlaceFiles(parts, placed)) {
                return false;
            }
            if (closing) {
                // What goes on in the next cabinet becomes the open folder.
                int detail = 0;
                bool removed = FolderRemoveSpills(client, folder, &detail);
                SpillMove(&folder->data, &flush->restData);
                SpillMove(&folder->files, &flush->restFiles);
                if (!removed) {
                    return CabFail(client, kCabTempFileFailed, detail);
                }
            } else if (!SpillReuse(client, &folder->data) || !SpillReuse(client, &folder->files)) {
                return false;
            }
        }
        if (closing) {
            if (!CabinetWrite(client, cabinet, flush->copyBuffer, progress,
                              cabinet->files.size + cabinet->data.size, estimate)) {
                return false;
            }
            CabinetMoveToNext(cabinet);
        }
    }
    cabinet->folderIndex++;
    return true;
}

} // namespace velaset::compress

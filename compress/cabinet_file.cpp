// The cabinet being assembled and the writing of one cabinet file of the set from its
// three spills.
#include "compress/cabinet_file.h"

#include <cstring>

#include "compress/cabinet_format.h"

namespace velaset::compress {

namespace {

const uint32_t kDefaultSizeLimit = 0x7FFFFFF;

const int kCabinetFlags = kOpenReadWrite | kOpenCreate | kOpenTruncate | kOpenBinary;
const int kCabinetPermission = kPermissionRead | kPermissionWrite;

// Bytes a name takes in a header: the name and its zero.
uint32_t NameCost(const char* name) {
    return static_cast<uint32_t>(std::strlen(name)) + 1;
}

void CopyName(char* to, const char* from) {
    std::strncpy(to, from, 255);
    to[255] = '\0';
}

void ResetHeader(OpenCabinet* cabinet) {
    cabinet->folderCount = 0;
    cabinet->fileCount = 0;
}

// The cabinet file being written; a failure closes and deletes it.
struct CabinetOut {
    CabinetClient* client;
    int handle;
    char path[512];
};

bool OutFail(CabinetOut* out, int code, int detail) {
    CabinetClient* client = out->client;
    int ignored = 0;
    if (out->handle != -1) {
        client->cb.close(out->handle, &ignored, client->context);
        out->handle = -1;
    }
    client->cb.remove(out->path, &ignored, client->context);
    return CabFail(client, code, detail);
}

// Fails the file with the error a lower step has just recorded.
bool OutFailAsRecorded(CabinetOut* out) {
    return OutFail(out, out->client->err->code, out->client->err->detail);
}

bool OutWrite(CabinetOut* out, const void* bytes, uint32_t count) {
    int err = 0;
    int moved = out->client->cb.write(out->handle, bytes, count, &err, out->client->context);
    if (moved < 0 || static_cast<uint32_t>(moved) != count) {
        return OutFail(out, kCabCabinetFileFailed, err);
    }
    return true;
}

// Reads exactly count bytes of a spill; a short spill is a spill fault.
bool ReadSpillChunk(CabinetClient* client, SpillFile* spill, uint8_t* to, uint32_t count) {
    uint32_t got = 0;
    while (got < count) {
        int err = 0;
        int n = client->cb.read(spill->handle, to + got, count - got, &err, client->context);
        if (n <= 0) {
            return CabFail(client, kCabTempFileFailed, n < 0 ? err : 0);
        }
        got += static_cast<uint32_t>(n);
    }
    return true;
}

bool CopySpill(CabinetOut* out, SpillFile* spill, uint8_t* buffer, uint32_t* copied, uint32_t total,
               ClientProgressFn progress) {
    CabinetClient* client = out->client;
    if (!SpillRewind(client, spill)) {
        return OutFailAsRecorded(out);
    }
    uint32_t left = spill->size;
    while (left > 0) {
        uint32_t n = left < kCopyChunk ? left : kCopyChunk;
        if (!ReadSpillChunk(client, spill, buffer, n)) {
            return OutFailAsRecorded(out);
        }
        if (!OutWrite(out, buffer, n)) {
            return false;
        }
        left -= n;
        *copied += n;
        if (progress(kProgressCopying, *copied, total, client->context) == -1) {
            return OutFail(out, kCabUserAbort, 0);
        }
    }
    return true;
}

bool WriteFolderEntries(CabinetOut* out, SpillFile* spill, uint32_t dataStart) {
    CabinetClient* client = out->client;
    if (!SpillRewind(client, spill)) {
        return OutFailAsRecorded(out);
    }
    for (uint32_t at = 0; at < spill->size; at += kFolderEntrySize) {
        uint8_t entry[kFolderEntrySize];
        if (!ReadSpillChunk(client, spill, entry, sizeof entry)) {
            return OutFailAsRecorded(out);
        }
        Put32(entry, Get32(entry) + dataStart);
        if (!OutWrite(out, entry, sizeof entry)) {
            return false;
        }
    }
    return true;
}

bool WriteName(CabinetOut* out, const char* name) {
    return OutWrite(out, name, NameCost(name));
}

} // namespace

void CabinetInit(OpenCabinet* cabinet, const CabinetParams* first) {
    std::memset(cabinet, 0, sizeof *cabinet);
    SpillInit(&cabinet->data);
    SpillInit(&cabinet->files);
    SpillInit(&cabinet->folders);
    cabinet->current = *first;
    if (cabinet->current.sizeLimit == 0) {
        cabinet->current.sizeLimit = kDefaultSizeLimit;
    }
    ResetHeader(cabinet);
}

bool CabinetCreateSpills(CabinetClient* client, OpenCabinet* cabinet) {
    SpillFile* spills[] = {&cabinet->data, &cabinet->files, &cabinet->folders};
    return SpillCreateGroup(client, spills, 3);
}

bool CabinetRemoveSpills(CabinetClient* client, OpenCabinet* cabinet, int* detail) {
    bool clean = SpillRemove(client, &cabinet->data, detail);
    clean = SpillRemove(client, &cabinet->files, detail) && clean;
    return SpillRemove(client, &cabinet->folders, detail) && clean;
}

uint64_t CabinetHeaderSize(const OpenCabinet* cabinet) {
    uint64_t size = kHeaderSize;
    if (cabinet->prevCabinet[0] != '\0') {
        size += NameCost(cabinet->prevCabinet) + NameCost(cabinet->prevDisk);
    }
    return size;
}

bool CabinetAddFolder(CabinetClient* client, OpenCabinet* cabinet, uint32_t offset, uint32_t blocks,
                      uint16_t type) {
    if (cabinet->folderCount == 0xFFFF) {
        return CabFail(client, kCabFormatLimit, 0);
    }
    uint8_t entry[kFolderEntrySize];
    Put32(entry, offset);
    Put16(entry + 4, blocks);
    Put16(entry + 6, type);
    cabinet->folderCount++;
    return SpillWrite(client, &cabinet->folders, entry, sizeof entry);
}

bool CabinetAddFile(CabinetClient* client, OpenCabinet* cabinet, const uint8_t* record,
                    const char* name, uint32_t length) {
    if (cabinet->fileCount == 0xFFFF) {
        return CabFail(client, kCabFormatLimit, 0);
    }
    if (!SpillWrite(client, &cabinet->files, record, kFileEntrySize) ||
        !SpillWrite(client, &cabinet->files, name, length)) {
        return false;
    }
    cabinet->fileCount++;
    return true;
}

bool CabinetLearnNext(CabinetClient* client, OpenCabinet* cabinet, uint32_t estimate,
                      ClientNextCabinetFn nextCabinet, uint32_t* nameCost) {
    if (!cabinet->nextKnown) {
        CopyName(cabinet->curCabinet, cabinet->current.cabinetName);
        CopyName(cabinet->curDisk, cabinet->current.diskName);
        cabinet->next = cabinet->current;
        cabinet->next.cabinetNumber += 1;
        if (nextCabinet(&cabinet->next, estimate, client->context) == -1) {
            return CabFail(client, kCabUserAbort, 0);
        }
        char name[256];
        char disk[256];
        CopyName(name, cabinet->next.cabinetName);
        CopyName(disk, cabinet->next.diskName);
        cabinet->nextNameCost = NameCost(name) + NameCost(disk);
        if (cabinet->next.sizeLimit == 0) {
            cabinet->next.sizeLimit = kDefaultSizeLimit;
        }
        cabinet->nextKnown = true;
    }
    *nameCost = cabinet->nextNameCost;
    return true;
}

bool CabinetAskNext(CabinetClient* client, OpenCabinet* cabinet, uint32_t estimate,
                    ClientNextCabinetFn nextCabinet, uint32_t* nameCost) {
    if (!CabinetLearnNext(client, cabinet, estimate, nextCabinet, nameCost)) {
        return false;
    }
    CopyName(cabinet->nextCabinet, cabinet->next.cabinetName);
    CopyName(cabinet->nextDisk, cabinet->next.diskName);
    return true;
}

void CabinetMoveToNext(OpenCabinet* cabinet) {
    if (cabinet->current.sizeLimit != 0 &&
        cabinet->next.diskNumber == cabinet->current.diskNumber) {
        cabinet->next.sizeLimit = cabinet->current.sizeLimit;
    }
    cabinet->current = cabinet->next;
    cabinet->folderIndex = 0;
    cabinet->nextKnown = false;
}

bool CabinetWrite(CabinetClient* client, OpenCabinet* cabinet, uint8_t* copyBuffer,
                  ClientProgressFn progress, uint32_t progressTotal, uint32_t estimate) {
    CabinetOut out;
    out.client = client;
    out.handle = -1;
    std::strcpy(out.path, cabinet->current.cabinetPath);
    std::strcat(out.path, cabinet->current.cabinetName);
    CopyName(cabinet->curCabinet, cabinet->current.cabinetName);
    CopyName(cabinet->curDisk, cabinet->current.diskName);

    uint64_t h = kHeaderSize;
    uint16_t flags = 0;
    if (cabinet->prevCabinet[0] != '\0') {
        flags |= kFlagPrevCabinet;
        h += NameCost(cabinet->prevCabinet) + NameCost(cabinet->prevDisk);
    }
    if (cabinet->nextCabinet[0] != '\0') {
        flags |= kFlagNextCabinet;
        h += NameCost(cabinet->nextCabinet) + NameCost(cabinet->nextDisk);
    }
    uint64_t filesOffset = h + cabinet->folders.size;
    uint64_t size = filesOffset + cabinet->files.size + cabinet->data.size;
    if (size > kMaxFileBytes || cabinet->cabinetCounter > 0xFFFF) {
        return CabFail(client, kCabFormatLimit, 0);
    }

    int err = 0;
    out.handle =
        client->cb.open(out.path, kCabinetFlags, kCabinetPermission, &err, client->context);
    if (out.handle == -1) {
        return CabFail(client, kCabCabinetFileFailed, err);
    }
    uint8_t header[kHeaderSize];
    std::memcpy(header, "!CAB", 4);
    Put32(header + 4, 0);
    Put32(header + 8, static_cast<uint32_t>(size));
    Put32(header + 12, 0);
    Put32(header + 16, static_cast<uint32_t>(filesOffset));
    Put32(header + 20, 0);
    header[24] = 3;
    header[25] = 1;
    Put16(header + 26, cabinet->folderCount);
    Put16(header + 28, cabinet->fileCount);
    Put16(header + 30, flags);
    Put16(header + 32, cabinet->current.setId);
    Put16(header + 34, cabinet->cabinetCounter);
    cabinet->cabinetCounter++;
    if (!OutWrite(&out, header, sizeof header)) {
        return false;
    }
    if ((flags & kFlagPrevCabinet) != 0 &&
        !(WriteName(&out, cabinet->prevCabinet) && WriteName(&out, cabinet->prevDisk))) {
        return false;
    }
    if ((flags & kFlagNextCabinet) != 0 &&
        !(WriteName(&out, cabinet->nextCabinet) && WriteName(&out, cabinet->nextDisk))) {
        return false;
    }
    cabinet->nextCabinet[0] = '\0';
    cabinet->nextDisk[0] = '\0';
    CopyName(cabinet->prevCabinet, cabinet->curCabinet);
    CopyName(cabinet->prevDisk, cabinet->curDisk);

    uint32_t dataStart = static_cast<uint32_t>(filesOffset + cabinet->files.size);
    uint32_t copied = 0;
    if (!WriteFolderEntries(&out, &cabinet->folders, dataStart) ||
        !CopySpill(&out, &cabinet->files, copyBuffer, &copied, progressTotal, progress) ||
        !CopySpill(&out, &cabinet->data, copyBuffer, &copied, progressTotal, progress)) {
        return false;
    }
    long fileSize = client->cb.seek(out.handle, 0, 2, &err, client->context);
    if (fileSize == -1 || client->cb.seek(out.handle, 0, 0, &err, client->context) != 0) {
        return OutFail(&out, kCabCabinetFileFailed, err);
    }
    if (!OutWrite(&out, "MSCF", 4)) {
        return false;
    }
    int handle = out.handle;
    out.handle = -1;
    if (client->cb.close(handle, &err, client->context) != 0) {
        return OutFail(&out, kCabCabinetFileFailed, err);
    }

    // The cabinet is complete. A failure from here on still fails the call, and a failed
    // call leaves no cabinet of its own behind.
    int detail = 0;
    if (!CabinetRemoveSpills(client, cabinet, &detail)) {
        return OutFail(&out, kCabTempFileFailed, detail);
    }
    if (!CabinetCreateSpills(client, cabinet)) {
        return OutFailAsRecorded(&out);
    }
    long answer =
        progress(kProgressCabinetDone, estimate, static_cast<uint32_t>(fileSize), client->context);
    if (answer == -1) {
        return OutFail(&out, kCabUserAbort, 0);
    }
    if (answer > 0) {
        uint32_t taken = static_cast<uint32_t>(answer);
        cabinet->current.sizeLimit =
            taken < cabinet->current.sizeLimit ? cabinet->current.sizeLimit - taken : 0;
    }
    ResetHeader(cabinet);
    return true;
}

} // namespace velaset::compress

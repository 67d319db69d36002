// Writing one cabinet file of the set from the three cabinet spills, header first, in one
// forward pass; the signature goes in last, so an interrupted file is never taken for a
// cabinet.
#include <cstring>

#include "compress/cabinet_context.h"
#include "compress/cabinet_format.h"

namespace velaset::compress {

namespace {

const int kCabinetFlags = kOpenReadWrite | kOpenCreate | kOpenTruncate | kOpenBinary;
const int kCabinetPermission = kPermissionRead | kPermissionWrite;

uint32_t NameCost(const char* name) {
    return static_cast<uint32_t>(std::strlen(name)) + 1;
}

void CopyName(char* to, const char* from) {
    std::strncpy(to, from, 255);
    to[255] = '\0';
}

// The cabinet file being written; a failure closes and deletes it.
struct CabinetOut {
    CabContext* cab;
    int handle;
    char path[512];
};

bool OutFail(CabinetOut* out, int code, int detail) {
    CabContext* cab = out->cab;
    int ignored = 0;
    if (out->handle != -1) {
        cab->cb.close(out->handle, &ignored, cab->context);
        out->handle = -1;
    }
    cab->cb.remove(out->path, &ignored, cab->context);
    return CabFail(cab, code, detail);
}

bool OutWrite(CabinetOut* out, const void* bytes, uint32_t count) {
    int err = 0;
    int moved = out->cab->cb.write(out->handle, bytes, count, &err, out->cab->context);
    if (moved < 0 || static_cast<uint32_t>(moved) != count) {
        return OutFail(out, kCabCabinetFileFailed, err);
    }
    return true;
}

// Reads exactly count bytes of a spill; a short spill is a spill fault.
bool ReadSpillChunk(CabContext* cab, SpillFile* spill, uint8_t* to, uint32_t count) {
    uint32_t got = 0;
    while (got < count) {
        int err = 0;
        int n = cab->cb.read(spill->handle, to + got, count - got, &err, cab->context);
        if (n <= 0) {
            return CabFail(cab, kCabTempFileFailed, n < 0 ? err : 0);
        }
        got += static_cast<uint32_t>(n);
    }
    return true;
}

bool CopySpill(CabinetOut* out, SpillFile* spill, uint32_t* copied, uint32_t total,
               ClientProgressFn progress) {
    CabContext* cab = out->cab;
    if (!SpillRewind(cab, spill)) {
        return OutFail(out, cab->err->code, cab->err->detail);
    }
    uint32_t left = spill->size;
    while (left > 0) {
        uint32_t n = left < kCopyChunk ? left : kCopyChunk;
        if (!ReadSpillChunk(cab, spill, cab->copyBuffer, n)) {
            return OutFail(out, cab->err->code, cab->err->detail);
        }
        if (!OutWrite(out, cab->copyBuffer, n)) {
            return false;
        }
        left -= n;
        *copied += n;
        if (progress(kProgressCopying, *copied, total, cab->context) == -1) {
            return OutFail(out, kCabUserAbort, 0);
        }
    }
    return true;
}

bool WriteFolderEntries(CabinetOut* out, uint32_t dataStart) {
    CabContext* cab = out->cab;
    SpillFile* spill = &cab->cabFolders;
    if (!SpillRewind(cab, spill)) {
        return OutFail(out, cab->err->code, cab->err->detail);
    }
    for (uint32_t at = 0; at < spill->size; at += kFolderEntrySize) {
        uint8_t entry[kFolderEntrySize];
        if (!ReadSpillChunk(cab, spill, entry, sizeof entry)) {
            return OutFail(out, cab->err->code, cab->err->detail);
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

bool CabWriteCabinet(CabContext* cab, ClientProgressFn progress, uint32_t progressTotal,
                     uint32_t estimate) {
    CabinetOut out;
    out.cab = cab;
    out.handle = -1;
    std::strcpy(out.path, cab->current.cabinetPath);
    std::strcat(out.path, cab->current.cabinetName);
    CopyName(cab->curCabinet, cab->current.cabinetName);
    CopyName(cab->curDisk, cab->current.diskName);

    uint64_t h = kHeaderSize;
    uint16_t flags = 0;
    if (cab->prevCabinet[0] != '\0') {
        flags |= kFlagPrevCabinet;
        h += NameCost(cab->prevCabinet) + NameCost(cab->prevDisk);
    }
    if (cab->nextCabinet[0] != '\0') {
        flags |= kFlagNextCabinet;
        h += NameCost(cab->nextCabinet) + NameCost(cab->nextDisk);
    }
    uint64_t filesOffset = h + cab->cabFolders.size;
    uint64_t size = filesOffset + cab->cabFiles.size + cab->cabData.size;
    if (size > kMaxFileBytes || cab->cabinetCounter > 0xFFFF) {
        return CabFail(cab, kCabFormatLimit, 0);
    }

    int err = 0;
    out.handle = cab->cb.open(out.path, kCabinetFlags, kCabinetPermission, &err, cab->context);
    if (out.handle == -1) {
        return CabFail(cab, kCabCabinetFileFailed, err);
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
    Put16(header + 26, cab->folderCount);
    Put16(header + 28, cab->fileCount);
    Put16(header + 30, flags);
    Put16(header + 32, cab->current.setId);
    Put16(header + 34, cab->cabinetCounter);
    cab->cabinetCounter++;
    if (!OutWrite(&out, header, sizeof header)) {
        return false;
    }
    if ((flags & kFlagPrevCabinet) != 0 &&
        !(WriteName(&out, cab->prevCabinet) && WriteName(&out, cab->prevDisk))) {
        return false;
    }
    if ((flags & kFlagNextCabinet) != 0 &&
        !(WriteName(&out, cab->nextCabinet) && WriteName(&out, cab->nextDisk))) {
        return false;
    }
    cab->nextCabinet[0] = '\0';
    cab->nextDisk[0] = '\0';
    CopyName(cab->prevCabinet, cab->curCabinet);
    CopyName(cab->prevDisk, cab->curDisk);

    uint32_t dataStart = static_cast<uint32_t>(filesOffset + cab->cabFiles.size);
    uint32_t copied = 0;
    if (!WriteFolderEntries(&out, dataStart) ||
        !CopySpill(&out, &cab->cabFiles, &copied, progressTotal, progress) ||
        !CopySpill(&out, &cab->cabData, &copied, progressTotal, progress)) {
        return false;
    }
    long fileSize = cab->cb.seek(out.handle, 0, 2, &err, cab->context);
    if (fileSize == -1 || cab->cb.seek(out.handle, 0, 0, &err, cab->context) != 0) {
        return OutFail(&out, kCabCabinetFileFailed, err);
    }
    if (!OutWrite(&out, "MSCF", 4)) {
        return false;
    }
    int handle = out.handle;
    out.handle = -1;
    if (cab->cb.close(handle, &err, cab->context) != 0) {
        return OutFail(&out, kCabCabinetFileFailed, err);
    }

    // The cabinet is complete. A failure from here on still fails the call, and a failed
    // call leaves no cabinet of its own behind.
    int detail = 0;
    bool removed = SpillRemove(cab, &cab->cabData, &detail);
    removed = SpillRemove(cab, &cab->cabFiles, &detail) && removed;
    removed = SpillRemove(cab, &cab->cabFolders, &detail) && removed;
    if (!removed) {
        return OutFail(&out, kCabTempFileFailed, detail);
    }
    SpillFile* fresh[] = {&cab->cabData, &cab->cabFiles, &cab->cabFolders};
    if (!SpillCreateGroup(cab, fresh, 3)) {
        return OutFail(&out, cab->err->code, cab->err->detail);
    }
    long answer =
        progress(kProgressCabinetDone, estimate, static_cast<uint32_t>(fileSize), cab->context);
    if (answer == -1) {
        return OutFail(&out, kCabUserAbort, 0);
    }
    if (answer > 0) {
        uint32_t taken = static_cast<uint32_t>(answer);
        cab->current.sizeLimit =
            taken < cab->current.sizeLimit ? cab->current.sizeLimit - taken : 0;
    }
    CabResetHeader(cab);
    return true;
}

bool FCIFlushCabinet(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress) {
    if (!CabCloseFolder(cab, nextCabinet, progress)) {
        return false;
    }
    uint32_t total = cab->cabFiles.size + cab->cabData.size;
    uint32_t size = kHeaderSize + cab->cabFolders.size + total;
    return CabWriteCabinet(cab, progress, total, size);
}

} // namespace velaset::compress

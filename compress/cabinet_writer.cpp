// The cabinet writer's life cycle and the adding of files to the open folder.
#include "compress/cabinet_writer.h"

#include <cstring>

#include "compress/cabinet_context.h"
#include "compress/cabinet_format.h"
#include "compress/folder_prefetch.h"

namespace velaset::compress {

namespace {

const uint32_t kDefaultSizeLimit = 0x7FFFFFF;

void ReleaseBuffers(CabContext* cab) {
    FolderBuilder* f = &cab->folder;
    CabRelease(cab, f->input);
    CabRelease(cab, f->output);
    f->input = nullptr;
    f->output = nullptr;
}

// Sets up the open folder for the requested compression type (the first file only, in
// practice: the type never changes).
bool SetCompressionType(CabContext* cab, uint16_t type, ClientNextCabinetFn nextCabinet,
                        ClientProgressFn progress) {
    FolderBuilder* f = &cab->folder;
    if (f->type == type) {
        return true;
    }
    if (f->type != kNoTypeYet) {
        if (!CabCloseFolder(cab, nextCabinet, progress)) {
            return false;
        }
    }
    if (f->compressor != nullptr) {
        MsZipDestroy(f->compressor);
        f->compressor = nullptr;
    }
    ReleaseBuffers(cab);
    f->type = kNoTypeYet;
    if (type != kCompressionMsZip) {
        return CabFail(cab, kCabUnknownCompression, 0);
    }
    if (!CabRenewCompressor(cab)) {
        return false;
    }
    f->output = static_cast<uint8_t*>(CabAlloc(cab, f->maxOutput));
    f->input = static_cast<uint8_t*>(CabAlloc(cab, kBlockSize));
    if (f->output == nullptr || f->input == nullptr) {
        return false;
    }
    f->type = type;
    f->fill = 0;
    return true;
}

} // namespace

CabContext* FCICreate(CabError* err, ClientFilePlacedFn filePlaced, ClientAllocFn alloc,
                      ClientFreeFn release, ClientOpenFn open, ClientReadFn read,
                      ClientWriteFn write, ClientCloseFn close, ClientSeekFn seek,
                      ClientDeleteFn remove, ClientTempNameFn tempName, const CabinetParams* first,
                      void* context) {
    err->code = kCabNoError;
    err->detail = 0;
    err->failed = 0;
    CabContext* cab = static_cast<CabContext*>(alloc(sizeof(CabContext)));
    if (cab == nullptr) {
        err->code = kCabOutOfMemory;
        err->failed = 1;
        return nullptr;
    }
    std::memset(cab, 0, sizeof *cab);
    cab->cb.filePlaced = filePlaced;
    cab->cb.alloc = alloc;
    cab->cb.release = release;
    cab->cb.open = open;
    cab->cb.read = read;
    cab->cb.write = write;
    cab->cb.close = close;
    cab->cb.seek = seek;
    cab->cb.remove = remove;
    cab->cb.tempName = tempName;
    cab->context = context;
    cab->err = err;
    SpillFile* all[] = {&cab->folder.data, &cab->folder.files, &cab->cabData,  &cab->cabFiles,
                        &cab->cabFolders,  &cab->restData,     &cab->restFiles};
    for (SpillFile* spill : all) {
        SpillInit(spill);
    }
    cab->folder.type = kNoTypeYet;

    cab->copyBuffer = static_cast<uint8_t*>(CabAlloc(cab, kCopyChunk));
    cab->blockBuffer =
        static_cast<uint8_t*>(CabAlloc(cab, kDataHeaderSize + kBlockSize + MSZIP_OUTPUT_SLACK));
    SpillFile* folderSpills[] = {&cab->folder.data, &cab->folder.files};
    SpillFile* cabinetSpills[] = {&cab->cabData, &cab->cabFiles, &cab->cabFolders};
    if (cab->copyBuffer == nullptr || cab->blockBuffer == nullptr ||
        !SpillCreateGroup(cab, folderSpills, 2)) {
        CabRelease(cab, cab->copyBuffer);
        CabRelease(cab, cab->blockBuffer);
        release(cab);
        return nullptr;
    }
    if (!SpillCreateGroup(cab, cabinetSpills, 3)) {
        SpillRemove(cab, &cab->folder.data);
        SpillRemove(cab, &cab->folder.files);
        CabRelease(cab, cab->copyBuffer);
        CabRelease(cab, cab->blockBuffer);
        release(cab);
        return nullptr;
    }

    cab->current = *first;
    if (cab->current.sizeLimit == 0) {
        cab->current.sizeLimit = kDefaultSizeLimit;
    }
    CabResetHeader(cab);
    return cab;
}

bool CabRenewCompressor(CabContext* cab) {
    FolderBuilder* f = &cab->folder;
    if (f->compressor != nullptr) {
        MsZipDestroy(f->compressor);
        f->compressor = nullptr;
    }
    uint32_t blockSize = kBlockSize;
    int result =
        MsZipCreate(&blockSize, cab->cb.alloc, cab->cb.release, &f->compressor, &f->maxOutput);
    if (result != MSZIP_OK) {
        f->compressor = nullptr;
        return CabFail(cab, result == MSZIP_NO_MEMORY ? kCabOutOfMemory : kCabCompressionFailed, 0);
    }
    return true;
}

bool CabSpillBlock(CabContext* cab, ClientProgressFn progress) {
    FolderBuilder* f = &cab->folder;
    if (f->fill == 0) {
        return true;
    }
    uint32_t compressed = 0;
    if (MsZipCompress(f->compressor, f->input, f->fill, f->output, f->maxOutput, &compressed) !=
            MSZIP_OK ||
        compressed > 0xFFFF) {
        return CabFail(cab, kCabCompressionFailed, 0);
    }
    uint8_t header[kDataHeaderSize];
    Put32(header, 0);
    Put16(header + 4, compressed);
    Put16(header + 6, f->fill);
    if (!SpillWrite(cab, &f->data, header, sizeof header) ||
        !SpillWrite(cab, &f->data, f->output, compressed)) {
        return false;
    }
    if (progress(kProgressBlockSpilled, compressed, f->fill, cab->context) == -1) {
        return CabFail(cab, kCabUserAbort, 0);
    }
    f->fill = 0;
    return true;
}

bool CabAppendFileRecord(CabContext* cab, uint32_t size, uint32_t offset, uint16_t date,
                         uint16_t time, uint16_t attributes, const char* name) {
    uint8_t record[kFileEntrySize];
    Put32(record, size);
    Put32(record + 4, offset);
    Put16(record + 8, 0);
    Put16(record + 10, date);
    Put16(record + 12, time);
    Put16(record + 14, attributes);
    uint32_t length = static_cast<uint32_t>(std::strlen(name)) + 1;
    return SpillWrite(cab, &cab->folder.files, record, sizeof record) &&
           SpillWrite(cab, &cab->folder.files, name, length);
}

bool CabCloseFolderIfFull(CabContext* cab, ClientNextCabinetFn nextCabinet,
                          ClientProgressFn progress) {
    const FolderBuilder* f = &cab->folder;
    // Both tests use spill sizes only, so a partly filled input block does not count.
    uint64_t projected = uint64_t(kHeaderSize) + cab->cabFiles.size + kFolderEntrySize +
                         cab->cabFolders.size + cab->cabData.size + f->files.size + f->data.size;
    if (f->data.size > cab->current.folderThreshold || projected > cab->current.sizeLimit) {
        return CabCloseFolder(cab, nextCabinet, progress);
    }
    return true;
}

bool CabReadFileIntoFolder(CabContext* cab, const char* sourcePath, const char* name,
                           ClientProgressFn progress, ClientOpenSourceFn openSource) {
    FolderBuilder* f = &cab->folder;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attributes = 0;
    int err = 0;
    int source = openSource(sourcePath, &date, &time, &attributes, &err, cab->context);
    if (source == -1) {
        return CabFail(cab, kCabOpenSourceFailed, err);
    }
    uint32_t start = f->uncompressed;
    bool ok = true;
    for (;;) {
        err = 0;
        int n = cab->cb.read(source, f->input + f->fill, kBlockSize - f->fill, &err, cab->context);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            ok = CabFail(cab, kCabReadSourceFailed, err);
            break;
        }
        if (static_cast<uint32_t>(n) > kMaxFolderBytes - f->uncompressed) {
            ok = CabFail(cab, kCabFormatLimit, 0);
            break;
        }
        f->fill += static_cast<uint32_t>(n);
        f->uncompressed += static_cast<uint32_t>(n);
        if (f->fill == kBlockSize && !CabSpillBlock(cab, progress)) {
            ok = false;
            break;
        }
    }
    // Closing a file that was only read cannot lose data, so its result does not count.
    cab->cb.close(source, &err, cab->context);
    if (!ok || name == nullptr) {
        return ok;
    }
    return CabAppendFileRecord(cab, f->uncompressed - start, start, date, time, attributes, name);
}

bool CabAddFileSequential(CabContext* cab, const char* sourcePath, const char* name,
                          ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                          ClientOpenSourceFn openSource) {
    return CabReadFileIntoFolder(cab, sourcePath, name, progress, openSource) &&
           CabCloseFolderIfFull(cab, nextCabinet, progress);
}

bool FCIAddFile(CabContext* cab, const char* sourcePath, const char* nameInCabinet,
                ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                ClientOpenSourceFn openSource, uint16_t compressionType) {
    if (!SetCompressionType(cab, compressionType, nextCabinet, progress)) {
        return false;
    }
    if (cab->prefetch != nullptr) {
        return PrefetchAddFile(cab, sourcePath, nameInCabinet, nextCabinet, progress, openSource);
    }
    return CabAddFileSequential(cab, sourcePath, nameInCabinet, nextCabinet, progress, openSource);
}

bool FCIFlushFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress) {
    return CabCloseFolder(cab, nextCabinet, progress);
}

bool FCIDestroy(CabContext* cab) {
    if (cab == nullptr) {
        return false;
    }
    bool clean = true;
    int detail = 0;
    PrefetchStop(cab);
    FolderBuilder* f = &cab->folder;
    if (f->compressor != nullptr) {
        MsZipDestroy(f->compressor);
    }
    ReleaseBuffers(cab);
    SpillFile* all[] = {&f->data,         &f->files,      &cab->cabData,  &cab->cabFiles,
                        &cab->cabFolders, &cab->restData, &cab->restFiles};
    for (SpillFile* spill : all) {
        if (!SpillRemove(cab, spill, &detail)) {
            clean = false;
        }
    }
    CabRelease(cab, cab->copyBuffer);
    CabRelease(cab, cab->blockBuffer);
    CabError* err = cab->err;
    ClientFreeFn release = cab->cb.release;
    release(cab);
    if (!clean) {
        err->code = kCabTempFileFailed;
        err->detail = detail;
        err->failed = 1;
        return false;
    }
    return true;
}

void CabResetHeader(CabContext* cab) {
    cab->folderCount = 0;
    cab->fileCount = 0;
    cab->flags = 0;
}

} // namespace velaset::compress

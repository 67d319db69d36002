// The cabinet writer's operations: its life cycle, the adding of files to the open
// folder, and the closing of folders and cabinets, on top of the layers below.
#include "compress/cabinet_writer.h"

#include <cstring>

#include "compress/cabinet_client.h"
#include "compress/cabinet_file.h"
#include "compress/cabinet_format.h"
#include "compress/folder_flush.h"
#include "compress/folder_hook.h"
#include "compress/open_folder.h"

namespace velaset::compress {

struct CabContext {
    CabinetClient client;
    OpenFolder folder;
    OpenCabinet cabinet;
    FolderFlush flush;
    const FolderHook* hook; // null without one
    void* hookUser;
};

namespace {

BlockReport ReportTo(CabContext* cab, ClientProgressFn progress) {
    return BlockReport{progress, cab->client.context};
}

// moreFolders: false only for the set's last folder (FCIFlushCabinet).
bool CloseFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                 bool moreFolders = true) {
    if (cab->hook != nullptr &&
        !cab->hook->beforeClose(cab->hookUser, &cab->client, &cab->folder, progress)) {
        return false;
    }
    return FolderEndData(&cab->client, &cab->folder, ReportTo(cab, progress)) &&
           FlushFolder(&cab->client, &cab->folder, &cab->cabinet, &cab->flush, moreFolders,
                       nextCabinet, progress);
}

// Sets up the open folder for the requested compression type (the first file only, in
// practice: the type never changes).
bool SetCompressionType(CabContext* cab, uint16_t type, ClientNextCabinetFn nextCabinet,
                        ClientProgressFn progress) {
    if (cab->folder.type == type) {
        return true;
    }
    if (cab->folder.type != kNoTypeYet && !CloseFolder(cab, nextCabinet, progress)) {
        return false;
    }
    return FolderSetType(&cab->client, &cab->folder, type);
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
    CabinetClient* client = &cab->client;
    client->cb.filePlaced = filePlaced;
    client->cb.alloc = alloc;
    client->cb.release = release;
    client->cb.open = open;
    client->cb.read = read;
    client->cb.write = write;
    client->cb.close = close;
    client->cb.seek = seek;
    client->cb.remove = remove;
    client->cb.tempName = tempName;
    client->context = context;
    client->err = err;
    FolderInit(&cab->folder);
    CabinetInit(&cab->cabinet, first);
    FlushInit(&cab->flush);

    int ignored = 0;
    if (!FlushAllocate(client, &cab->flush) || !FolderCreateSpills(client, &cab->folder)) {
        FlushRelease(client, &cab->flush, &ignored);
        release(cab);
        return nullptr;
    }
    if (!CabinetCreateSpills(client, &cab->cabinet)) {
        FolderRemoveSpills(client, &cab->folder, &ignored);
        FlushRelease(client, &cab->flush, &ignored);
        release(cab);
        return nullptr;
    }
    return cab;
}

bool FCISetFolderHook(CabContext* cab, const FolderHook* hook, void* user) {
    if (cab->hook != nullptr) {
        return false;
    }
    cab->hook = hook;
    cab->hookUser = user;
    return true;
}

void FCISetLzx(CabContext* cab, const LzxSettings& settings, unsigned threads) {
    cab->folder.lzxSettings = settings;
    cab->folder.threads = threads;
}

CabinetClient* FCIClient(CabContext* cab) {
    return &cab->client;
}

bool FCIAddFile(CabContext* cab, const char* sourcePath, const char* nameInCabinet,
                ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                ClientOpenSourceFn openSource, uint16_t compressionType) {
    if (!SetCompressionType(cab, compressionType, nextCabinet, progress)) {
        return false;
    }
    CabinetClient* client = &cab->client;
    FileRecord record;
    FolderHookAnswer answer = kHookPass;
    if (cab->hook != nullptr) {
        answer = cab->hook->addFile(cab->hookUser, client, &cab->folder, sourcePath, openSource,
                                    progress, &record);
    }
    if (answer == kHookFailed) {
        return false;
    }
    if (answer == kHookPass && !FolderAddFileData(client, &cab->folder, sourcePath, openSource,
                                                  ReportTo(cab, progress), &record)) {
        return false;
    }
    if (!FolderAppendRecord(client, &cab->folder, record, nameInCabinet)) {
        return false;
    }
    if (FolderIsFull(&cab->folder, &cab->cabinet)) {
        return CloseFolder(cab, nextCabinet, progress);
    }
    return true;
}

bool FCIFlushFolder(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress) {
    return CloseFolder(cab, nextCabinet, progress);
}

bool FCIFlushCabinet(CabContext* cab, ClientNextCabinetFn nextCabinet, ClientProgressFn progress) {
    if (!CloseFolder(cab, nextCabinet, progress, false)) {
        return false;
    }
    const OpenCabinet* cabinet = &cab->cabinet;
    uint32_t total = cabinet->files.size + cabinet->data.size;
    uint32_t size = kHeaderSize + cabinet->folders.size + total;
    return CabinetWrite(&cab->client, &cab->cabinet, cab->flush.copyBuffer, progress, total, size);
}

bool FCIDestroy(CabContext* cab) {
    if (cab == nullptr) {
        return false;
    }
    CabinetClient* client = &cab->client;
    if (cab->hook != nullptr) {
        cab->hook->stop(cab->hookUser, client);
        cab->hook = nullptr;
    }
    FolderReleaseCompressor(client, &cab->folder);
    int detail = 0;
    bool clean = FolderRemoveSpills(client, &cab->folder, &detail);
    clean = CabinetRemoveSpills(client, &cab->cabinet, &detail) && clean;
    clean = FlushRelease(client, &cab->flush, &detail) && clean;
    CabError* err = client->err;
    ClientFreeFn release = client->cb.release;
    release(cab);
    if (!clean) {
        err->code = kCabTempFileFailed;
        err->detail = detail;
        err->failed = 1;
        return false;
    }
    return true;
}

} // namespace velaset::compress

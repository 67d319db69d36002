// The open folder: gathering files into blocks, compressing them into the data spill and
// noting each file's record.
#include "compress/open_folder.h"

#include <cstring>

#include "compress/cabinet_format.h"

namespace velaset::compress {

void FolderInit(OpenFolder* folder) {
    std::memset(folder, 0, sizeof *folder);
    SpillInit(&folder->data);
    SpillInit(&folder->files);
    folder->type = kNoTypeYet;
    folder->lzxSettings = kDefaultLzx;
    folder->threads = 1;
}

bool FolderCreateSpills(CabinetClient* client, OpenFolder* folder) {
    SpillFile* spills[] = {&folder->data, &folder->files};
    return SpillCreateGroup(client, spills, 2);
}

bool FolderRemoveSpills(CabinetClient* client, OpenFolder* folder, int* detail) {
    bool clean = SpillRemove(client, &folder->data, detail);
    return SpillRemove(client, &folder->files, detail) && clean;
}

void FolderReleaseCompressor(CabinetClient* client, OpenFolder* folder) {
    if (folder->compressor != nullptr) {
        MsZipDestroy(folder->compressor);
        folder->compressor = nullptr;
    }
    LzxFolderDestroy(client, folder->lzx);
    folder->lzx = nullptr;
    CabRelease(client, folder->input);
    CabRelease(client, folder->output);
    folder->input = nullptr;
    folder->output = nullptr;
}

bool FolderRenewCompressor(CabinetClient* client, OpenFolder* folder) {
    if (folder->compressor != nullptr && MsZipRestart(folder->compressor) == MSZIP_OK) {
        return true;
    }
    if (folder->compressor != nullptr) {
        MsZipDestroy(folder->compressor);
        folder->compressor = nullptr;
    }
    uint32_t blockSize = kBlockSize;
    int result = MsZipCreate(&blockSize, client->cb.alloc, client->cb.release, &folder->compressor,
                             &folder->maxOutput);
    if (result != MSZIP_OK) {
        folder->compressor = nullptr;
        return CabFail(client, result == MSZIP_NO_MEMORY ? kCabOutOfMemory : kCabCompressionFailed,
                       0);
    }
    return true;
}

bool FolderSetType(CabinetClient* client, OpenFolder* folder, uint16_t type) {
    FolderReleaseCompressor(client, folder);
    folder->type = kNoTypeYet;
    if (IsLzxType(type)) {
        LzxSettings settings = folder->lzxSettings;
        settings.parser.windowBits = type >> 8;
        folder->lzx = LzxFolderCreate(client, settings, folder->threads);
        if (folder->lzx == nullptr) {
            return false;
        }
    } else if (type != kCompressionMsZip) {
        return CabFail(client, kCabUnknownCompression, 0);
    } else {
        if (!FolderRenewCompressor(client, folder)) {
            return false;
        }
        folder->output = static_cast<uint8_t*>(CabAlloc(client, folder->maxOutput));
        if (folder->output == nullptr) {
            return false;
        }
    }
    folder->input = static_cast<uint8_t*>(CabAlloc(client, kBlockSize));
    if (folder->input == nullptr) {
        return false;
    }
    folder->type = type;
    folder->fill = 0;
    return true;
}

namespace {

// A data block at the end of the data spill, told to the progress callback.
bool SpillData(CabinetClient* client, OpenFolder* folder, const BlockReport& report,
               const uint8_t* bytes, uint32_t compressed, uint32_t uncompressed) {
    uint8_t header[kDataHeaderSize];
    Put32(header, 0);
    Put16(header + 4, compressed);
    Put16(header + 6, uncompressed);
    if (!SpillWrite(client, &folder->data, header, sizeof header) ||
        !SpillWrite(client, &folder->data, bytes, compressed)) {
        return false;
    }
    if (report.progress(kProgressBlockSpilled, compressed, uncompressed, report.context) == -1) {
        return CabFail(client, kCabUserAbort, 0);
    }
    return true;
}

// Where an LZX stream's payloads go.
struct LzxSink {
    CabinetClient* client;
    OpenFolder* folder;
    const BlockReport* report;
};

bool SpillLzxFrame(const uint8_t* payload, uint32_t size, uint32_t uncompressed, void* context) {
    LzxSink* sink = static_cast<LzxSink*>(context);
    return SpillData(sink->client, sink->folder, *sink->report, payload, size, uncompressed);
}

} // namespace

bool IsLzxType(uint16_t type) {
    int bits = type >> 8;
    return (type & 0xE0FF) == 0x0003 && bits >= kLzxMinWindowBits && bits <= kLzxMaxWindowBits;
}

bool FolderSpillBlock(CabinetClient* client, OpenFolder* folder, const BlockReport& report) {
    if (folder->fill == 0) {
        return true;
    }
    if (folder->lzx != nullptr) {
        LzxSink sink = {client, folder, &report};
        if (!LzxFolderAdd(client, folder->lzx, folder->input, folder->fill, SpillLzxFrame,
                          &sink)) {
            return false;
        }
        folder->fill = 0;
        return true;
    }
    uint32_t compressed = 0;
    if (MsZipCompress(folder->compressor, folder->input, folder->fill, folder->output,
                      folder->maxOutput, &compressed) != MSZIP_OK ||
        compressed > 0xFFFF) {
        return CabFail(client, kCabCompressionFailed, 0);
    }
    if (!SpillData(client, folder, report, folder->output, compressed, folder->fill)) {
        return false;
    }
    folder->fill = 0;
    return true;
}

bool FolderAddFileData(CabinetClient* client, OpenFolder* folder, const char* sourcePath,
                       ClientOpenSourceFn openSource, const BlockReport& report,
                       FileRecord* record) {
    *record = FileRecord{0, folder->uncompressed, 0, 0, 0};
    int err = 0;
    int source = openSource(sourcePath, &record->date, &record->time, &record->attributes, &err,
                            client->context);
    if (source == -1) {
        return CabFail(client, kCabOpenSourceFailed, err);
    }
    bool ok = true;
    for (;;) {
        err = 0;
        int n = client->cb.read(source, folder->input + folder->fill, kBlockSize - folder->fill,
                                &err, client->context);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            ok = CabFail(client, kCabReadSourceFailed, err);
            break;
        }
        if (static_cast<uint32_t>(n) > kMaxFolderBytes - folder->uncompressed) {
            ok = CabFail(client, kCabFormatLimit, 0);
            break;
        }
        folder->fill += static_cast<uint32_t>(n);
        folder->uncompressed += static_cast<uint32_t>(n);
        if (folder->fill == kBlockSize && !FolderSpillBlock(client, folder, report)) {
            ok = false;
            break;
        }
    }
    // Closing a file that was only read cannot lose data, so its result does not count.
    client->cb.close(source, &err, client->context);
    record->size = folder->uncompressed - record->offset;
    return ok;
}

bool FolderAppendRecord(CabinetClient* client, OpenFolder* folder, const FileRecord& record,
                        const char* name) {
    uint8_t bytes[kFileEntrySize];
    Put32(bytes, record.size);
    Put32(bytes + 4, record.offset);
    Put16(bytes + 8, 0);
    Put16(bytes + 10, record.date);
    Put16(bytes + 12, record.time);
    Put16(bytes + 14, record.attributes);
    uint32_t length = static_cast<uint32_t>(std::strlen(name)) + 1;
    return SpillWrite(client, &folder->files, bytes, sizeof bytes) &&
           SpillWrite(client, &folder->files, name, length);
}

bool FolderEndData(CabinetClient* client, OpenFolder* folder, const BlockReport& report) {
    if (folder->lzx != nullptr) {
        LzxSink sink = {client, folder, &report};
        if (!FolderSpillBlock(client, folder, report) ||
            !LzxFolderFinish(client, folder->lzx, SpillLzxFrame, &sink)) {
            return false;
        }
    } else if (folder->compressor != nullptr) {
        if (!FolderSpillBlock(client, folder, report)) {
            return false;
        }
        if (!FolderRenewCompressor(client, folder)) {
            return false;
        }
    }
    folder->uncompressed = 0;
    return true;
}

bool FolderIsEmpty(const OpenFolder* folder) {
    return SpillIsEmpty(&folder->data) && SpillIsEmpty(&folder->files) && folder->fill == 0;
}

} // namespace velaset::compress

// The worker side of the folder prefetch: compressing a job's files as the writer would
// compress a folder that starts with them, into a data spill of the job's own.
#include <cstring>

#include "compress/cabinet_format.h"
#include "compress/prefetch_jobs.h"

namespace velaset::compress {

namespace {

bool Cancelled(FolderPrefetch* p) {
    Lock(p->lock);
    bool stopping = p->stopping;
    Unlock(p->lock);
    return stopping;
}

// A worker's own writer context: the client's callbacks and context, its own error
// record, compressor and buffers.
struct Worker {
    FolderPrefetch* prefetch;
    CabContext cab;
    CabError err;
    MsZipCompressor* compressor;
    uint32_t maxOutput;
    uint8_t* input;
    uint8_t* output;
};

bool NoteBlock(Worker* w, PrefetchJob* job, uint32_t compressed, uint32_t uncompressed) {
    if (job->blockCount == job->blockCapacity) {
        uint32_t capacity = job->blockCapacity == 0 ? 64 : job->blockCapacity * 2;
        uint32_t* grown = static_cast<uint32_t*>(CabAlloc(&w->cab, capacity * 4));
        if (grown == nullptr) {
            return false;
        }
        if (job->blockCount > 0) {
            std::memcpy(grown, job->blocks, job->blockCount * 4);
        }
        CabRelease(&w->cab, job->blocks);
        job->blocks = grown;
        job->blockCapacity = capacity;
    }
    job->blocks[job->blockCount++] = compressed | (uncompressed << 16);
    return true;
}

bool CompressBlock(Worker* w, PrefetchJob* job, uint32_t fill) {
    uint32_t compressed = 0;
    if (MsZipCompress(w->compressor, w->input, fill, w->output, w->maxOutput, &compressed) !=
            MSZIP_OK ||
        compressed > 0xFFFF) {
        return CabFail(&w->cab, kCabCompressionFailed, 0);
    }
    uint8_t header[kDataHeaderSize];
    Put32(header, 0);
    Put16(header + 4, compressed);
    Put16(header + 6, fill);
    return SpillWrite(&w->cab, &job->data, header, sizeof header) &&
           SpillWrite(&w->cab, &job->data, w->output, compressed) &&
           NoteBlock(w, job, compressed, fill);
}

// Compresses one file into the job; fill carries the partial block from file to file.
bool CompressFile(Worker* w, PrefetchJob* job, const char* path, PrefetchedFile* note,
                  uint32_t* fill, uint32_t* folderBytes) {
    int err = 0;
    int source = w->prefetch->openSource(path, &note->date, &note->time, &note->attributes, &err,
                                         w->cab.context);
    if (source == -1) {
        return CabFail(&w->cab, kCabOpenSourceFailed, err);
    }
    uint32_t start = *folderBytes;
    bool ok = true;
    for (;;) {
        err = 0;
        int n = w->cab.cb.read(source, w->input + *fill, kBlockSize - *fill, &err, w->cab.context);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            ok = CabFail(&w->cab, kCabReadSourceFailed, err);
            break;
        }
        if (static_cast<uint32_t>(n) > kMaxFolderBytes - *folderBytes) {
            ok = CabFail(&w->cab, kCabFormatLimit, 0);
            break;
        }
        *fill += static_cast<uint32_t>(n);
        *folderBytes += static_cast<uint32_t>(n);
        if (*fill == kBlockSize) {
            if (!CompressBlock(w, job, kBlockSize) || Cancelled(w->prefetch)) {
                ok = false;
                break;
            }
            *fill = 0;
        }
    }
    w->cab.cb.close(source, &err, w->cab.context);
    note->size = *folderBytes - start;
    note->dataSize = job->data.size;
    note->blocksEnd = job->blockCount;
    return ok;
}

// Every folder starts with a fresh compressor, as on the writer's thread.
bool RenewCompressor(Worker* w) {
    if (w->compressor != nullptr) {
        MsZipDestroy(w->compressor);
        w->compressor = nullptr;
    }
    uint32_t blockSize = kBlockSize;
    if (MsZipCreate(&blockSize, w->cab.cb.alloc, w->cab.cb.release, &w->compressor,
                    &w->maxOutput) != MSZIP_OK) {
        w->compressor = nullptr;
        return CabFail(&w->cab, kCabOutOfMemory, 0);
    }
    return true;
}

void RunJob(Worker* w, PrefetchJob* job) {
    FolderPrefetch* p = w->prefetch;
    uint32_t fill = 0;
    uint32_t folderBytes = 0;
    bool ok = SpillCreate(&w->cab, &job->data) && RenewCompressor(w);
    for (uint32_t i = 0; ok && i < job->count; i++) {
        ok = CompressFile(w, job, p->entries[job->first + i], &job->files[i], &fill, &folderBytes);
    }
    if (ok && fill > 0) {
        ok = CompressBlock(w, job, fill);
    }
    job->tailSize = job->data.size;
    if (!ok) {
        SpillRemove(&w->cab, &job->data);
        job->handedBack = true;
    }
}

} // namespace

void RunPrefetchWorker(void* argument) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(argument);
    Worker w;
    std::memset(&w, 0, sizeof w);
    w.prefetch = p;
    w.cab.cb = p->cab->cb;
    w.cab.context = p->cab->context;
    w.cab.err = &w.err;
    uint32_t blockSize = kBlockSize;
    bool ready = MsZipCreate(&blockSize, w.cab.cb.alloc, w.cab.cb.release, &w.compressor,
                             &w.maxOutput) == MSZIP_OK;
    if (ready) {
        w.input = static_cast<uint8_t*>(CabAlloc(&w.cab, kBlockSize));
        w.output = static_cast<uint8_t*>(CabAlloc(&w.cab, w.maxOutput));
        ready = w.input != nullptr && w.output != nullptr;
    }
    Lock(p->lock);
    while (!p->stopping && p->nextToStart < p->jobCount) {
        if (p->nextToStart >= p->current + p->window) {
            Wait(p->lock);
            continue;
        }
        PrefetchJob* job = &p->jobs[p->nextToStart++];
        job->state = kJobRunning;
        Unlock(p->lock);
        if (ready) {
            RunJob(&w, job);
        } else {
            job->handedBack = true; // no memory of its own for compressing
        }
        Lock(p->lock);
        job->state = kJobFinished;
        WakeAll(p->lock);
    }
    Unlock(p->lock);
    if (w.compressor != nullptr) {
        MsZipDestroy(w.compressor);
    }
    CabRelease(&w.cab, w.input);
    CabRelease(&w.cab, w.output);
}

} // namespace velaset::compress

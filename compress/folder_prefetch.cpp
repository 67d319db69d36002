// Compressing the folders of a known file list ahead on worker threads.
//
// Every run of paths between two folder closes of the plan is a job. A worker compresses
// a job's files as the writer would compress a folder that starts with the job's first
// file, into a data spill of its own, and notes per file what the writer needs to replay
// the file (record fields, spill size and blocks after it). The writer takes finished jobs
// in list order: the job's spill becomes the folder data spill and the notes drive the same
// checks as before, so the cabinets come out byte for byte as with one thread. A folder
// that the writer closes in the middle of a job (the folder threshold or the size limit)
// is rebuilt from its sources on the caller's thread, and the rest of that job is added
// there too. A job whose worker met any failure is handed back and done the same way, so
// failures are met, and reported, as with one thread.
#include "compress/folder_prefetch.h"

#include <cstring>

#include "compress/cabinet_context.h"
#include "compress/cabinet_format.h"
#include "compress/worker_thread.h"

namespace {

const unsigned kMaxThreads = 4;

// What a worker found for one file of a job.
struct PrefetchedFile {
    uint16_t date;
    uint16_t time;
    uint16_t attributes;
    uint32_t size;
    uint32_t dataSize;  // job data spill size after the file's whole blocks
    uint32_t blocksEnd; // number of the job's blocks after the file
};

enum JobState { kJobWaiting, kJobRunning, kJobFinished };

struct PrefetchJob {
    uint32_t first; // entry index of the first path
    uint32_t count; // paths in the job
    JobState state;
    // The worker met a failure (a source, memory, a spill file): the writer does the job
    // itself and meets whatever is real on its own, as with one thread.
    bool handedBack;
    SpillFile data;
    PrefetchedFile* files;
    uint32_t* blocks; // per block: compressed size | uncompressed size << 16
    uint32_t blockCount;
    uint32_t blockCapacity;
    uint32_t tailSize; // data spill size with the folder's last, partial block
};

} // namespace

struct FolderPrefetch {
    CabContext* cab;
    WorkerLock* lock;
    WorkerThread* threads[kMaxThreads];
    unsigned threadCount;
    char* const* entries;
    uint32_t entryCount;
    ClientOpenSourceFn openSource;
    PrefetchJob* jobs;
    uint32_t jobCount;
    uint32_t nextToStart; // job the next free worker takes
    uint32_t current;     // job the writer takes files from
    uint32_t window;      // jobs that may be started ahead of the current one
    bool stopping;
    // The writer's side, touched by the calling thread only.
    uint32_t cursor;        // next entry expected from the calls
    bool adopted;           // the current job's spill is the folder data spill
    uint32_t filesTaken;    // files of the current job added so far
    uint32_t sequentialJob; // a job whose files go the ordinary way, or jobCount
};

namespace {

void ReleaseJob(CabContext* cab, PrefetchJob* job) {
    SpillRemove(cab, &job->data);
    CabRelease(cab, job->files);
    CabRelease(cab, job->blocks);
    job->files = nullptr;
    job->blocks = nullptr;
}

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

void RunWorker(void* argument) {
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

// Splits the plan into jobs: the paths between folder closes.
uint32_t CountJobs(char* const* entries, uint32_t count) {
    uint32_t jobs = 0;
    bool inJob = false;
    for (uint32_t i = 0; i < count; i++) {
        if (entries[i] == nullptr) {
            inJob = false;
        } else if (!inJob) {
            jobs++;
            inJob = true;
        }
    }
    return jobs;
}

void StopWorkers(FolderPrefetch* p) {
    Lock(p->lock);
    p->stopping = true;
    WakeAll(p->lock);
    Unlock(p->lock);
    for (unsigned i = 0; i < p->threadCount; i++) {
        JoinWorker(p->threads[i]);
    }
    p->threadCount = 0;
}

void Release(CabContext* cab) {
    FolderPrefetch* p = cab->prefetch;
    StopWorkers(p);
    for (uint32_t j = 0; j < p->jobCount; j++) {
        ReleaseJob(cab, &p->jobs[j]);
    }
    CabRelease(cab, p->jobs);
    DestroyWorkerLock(p->lock);
    cab->prefetch = nullptr;
    CabRelease(cab, p);
}

PrefetchJob* WaitForJob(FolderPrefetch* p, uint32_t index) {
    Lock(p->lock);
    while (p->jobs[index].state != kJobFinished) {
        Wait(p->lock);
    }
    Unlock(p->lock);
    return &p->jobs[index];
}

void NextJob(FolderPrefetch* p) {
    Lock(p->lock);
    p->current++;
    WakeAll(p->lock);
    Unlock(p->lock);
}

// Reports blocks from..to of the current job as spilled, as the writer would have while
// compressing them itself.
bool TakeBlocks(CabContext* cab, PrefetchJob* job, uint32_t from, uint32_t to,
                ClientProgressFn progress) {
    for (uint32_t b = from; b < to; b++) {
        uint32_t compressed = job->blocks[b] & 0xFFFF;
        uint32_t uncompressed = job->blocks[b] >> 16;
        if (progress(kProgressBlockSpilled, compressed, uncompressed, cab->context) == -1) {
            return CabFail(cab, kCabUserAbort, 0);
        }
    }
    return true;
}

// Gives up the current job's compressed data: the folder's blocks are made again from the
// sources of the files taken so far (their records are already right), and the rest of
// the job is added the ordinary way.
bool RebuildFolder(CabContext* cab, ClientProgressFn progress) {
    FolderPrefetch* p = cab->prefetch;
    PrefetchJob* job = &p->jobs[p->current];
    FolderBuilder* f = &cab->folder;
    int detail = 0;
    p->adopted = false;
    p->sequentialJob = p->current;
    if (!SpillRemove(cab, &f->data, &detail)) {
        return CabFail(cab, kCabTempFileFailed, detail);
    }
    if (!SpillCreate(cab, &f->data)) {
        return false;
    }
    if (!CabRenewCompressor(cab)) {
        return false;
    }
    f->uncompressed = 0;
    f->fill = 0;
    for (uint32_t i = 0; i < p->filesTaken; i++) {
        if (!CabReadFileIntoFolder(cab, p->entries[job->first + i], nullptr, progress,
                                   p->openSource)) {
            return false;
        }
    }
    return true;
}

// Done with the current job: its memory goes, and the workers may start one more.
void FinishJob(CabContext* cab) {
    FolderPrefetch* p = cab->prefetch;
    ReleaseJob(cab, WaitForJob(p, p->current));
    p->adopted = false;
    p->filesTaken = 0;
    NextJob(p);
}

bool FolderIsEmpty(const FolderBuilder* f) {
    return SpillIsEmpty(&f->data) && SpillIsEmpty(&f->files) && f->fill == 0;
}

// The calls left the plan: the current job is given up and the rest goes the ordinary way.
bool LeavePlan(CabContext* cab, ClientProgressFn progress) {
    bool ok = !cab->prefetch->adopted || RebuildFolder(cab, progress);
    Release(cab);
    return ok;
}

} // namespace

void FCIPrefetch(CabContext* cab, char* const* entries, uint32_t count,
                 ClientOpenSourceFn openSource, unsigned threads) {
    if (cab->prefetch != nullptr || threads < 2) {
        return;
    }
    if (threads > kMaxThreads) {
        threads = kMaxThreads;
    }
    uint32_t jobCount = CountJobs(entries, count);
    if (jobCount < 2) {
        return;
    }
    FolderPrefetch* p = static_cast<FolderPrefetch*>(cab->cb.alloc(sizeof(FolderPrefetch)));
    if (p == nullptr) {
        return;
    }
    std::memset(p, 0, sizeof *p);
    p->jobs = static_cast<PrefetchJob*>(cab->cb.alloc(jobCount * sizeof(PrefetchJob)));
    p->lock = CreateWorkerLock();
    if (p->jobs == nullptr || p->lock == nullptr) {
        if (p->lock != nullptr) {
            DestroyWorkerLock(p->lock);
        }
        CabRelease(cab, p->jobs);
        cab->cb.release(p);
        return;
    }
    std::memset(p->jobs, 0, jobCount * sizeof(PrefetchJob));
    p->cab = cab;
    p->entries = entries;
    p->entryCount = count;
    p->openSource = openSource;
    p->jobCount = jobCount;
    p->window = threads + 1;
    p->sequentialJob = jobCount;
    cab->prefetch = p;
    uint32_t j = 0;
    for (uint32_t i = 0; i < count; i++) {
        if (entries[i] == nullptr) {
            continue;
        }
        if (i == 0 || entries[i - 1] == nullptr) {
            p->jobs[j].first = i;
            SpillInit(&p->jobs[j].data);
            j++;
        }
        p->jobs[j - 1].count++;
    }
    for (j = 0; j < jobCount; j++) {
        p->jobs[j].files =
            static_cast<PrefetchedFile*>(cab->cb.alloc(p->jobs[j].count * sizeof(PrefetchedFile)));
        if (p->jobs[j].files == nullptr) {
            Release(cab);
            return;
        }
        std::memset(p->jobs[j].files, 0, p->jobs[j].count * sizeof(PrefetchedFile));
    }
    for (unsigned t = 0; t < threads; t++) {
        WorkerThread* thread = StartWorker(RunWorker, p);
        if (thread == nullptr) {
            break;
        }
        p->threads[p->threadCount++] = thread;
    }
    if (p->threadCount == 0) {
        Release(cab);
    }
}

bool PrefetchAddFile(CabContext* cab, const char* sourcePath, const char* name,
                     ClientNextCabinetFn nextCabinet, ClientProgressFn progress,
                     ClientOpenSourceFn openSource) {
    FolderPrefetch* p = cab->prefetch;
    FolderBuilder* f = &cab->folder;
    while (p->cursor < p->entryCount && p->entries[p->cursor] == nullptr) {
        p->cursor++;
    }
    bool planned = p->cursor < p->entryCount && p->current < p->jobCount &&
                   openSource == p->openSource &&
                   std::strcmp(p->entries[p->cursor], sourcePath) == 0;
    PrefetchJob* job = planned ? &p->jobs[p->current] : nullptr;
    uint32_t index = planned ? p->cursor - job->first : 0;
    if (planned && index >= job->count) {
        planned = false;
    }
    if (planned && index == 0 && (p->adopted || !FolderIsEmpty(f))) {
        planned = false; // a job must start a folder of its own
    }
    if (!planned) {
        if (!LeavePlan(cab, progress)) {
            return false;
        }
        return CabAddFileSequential(cab, sourcePath, name, nextCabinet, progress, openSource);
    }
    p->cursor++;
    if (index == 0 && WaitForJob(p, p->current)->handedBack) {
        p->sequentialJob = p->current;
    }
    if (p->current == p->sequentialJob) {
        bool ok = CabAddFileSequential(cab, sourcePath, name, nextCabinet, progress, openSource);
        if (index + 1 == job->count && cab->prefetch != nullptr) {
            FinishJob(cab);
        }
        return ok;
    }
    if (index == 0) {
        int detail = 0;
        if (!SpillRemove(cab, &f->data, &detail)) {
            return CabFail(cab, kCabTempFileFailed, detail);
        }
        SpillMove(&f->data, &job->data);
        f->data.size = 0;
        p->adopted = true;
        p->filesTaken = 0;
    }
    const PrefetchedFile* note = &job->files[index];
    uint32_t fromBlock = index == 0 ? 0 : job->files[index - 1].blocksEnd;
    if (!TakeBlocks(cab, job, fromBlock, note->blocksEnd, progress)) {
        return false;
    }
    f->data.size = note->dataSize;
    uint32_t start = f->uncompressed;
    f->uncompressed += note->size;
    p->filesTaken++;
    return CabAppendFileRecord(cab, note->size, start, note->date, note->time, note->attributes,
                               name) &&
           CabCloseFolderIfFull(cab, nextCabinet, progress);
}

bool PrefetchBeforeClose(CabContext* cab, ClientProgressFn progress) {
    FolderPrefetch* p = cab->prefetch;
    if (!p->adopted) {
        return true;
    }
    PrefetchJob* job = &p->jobs[p->current];
    if (p->filesTaken < job->count) {
        return RebuildFolder(cab, progress);
    }
    uint32_t fromBlock = job->files[job->count - 1].blocksEnd;
    if (!TakeBlocks(cab, job, fromBlock, job->blockCount, progress)) {
        return false;
    }
    cab->folder.data.size = job->tailSize;
    FinishJob(cab);
    return true;
}

void PrefetchStop(CabContext* cab) {
    if (cab->prefetch != nullptr) {
        Release(cab);
    }
}

// Compressing the folders of a known file list ahead on worker threads: the plan and the
// writer's side (the workers are in prefetch_worker.cpp).
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

#include "compress/prefetch_jobs.h"

namespace velaset::compress {

namespace {

void ReleaseJob(CabContext* cab, PrefetchJob* job) {
    SpillRemove(cab, &job->data);
    CabRelease(cab, job->files);
    CabRelease(cab, job->blocks);
    job->files = nullptr;
    job->blocks = nullptr;
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
    if (threads > kMaxPrefetchThreads) {
        threads = kMaxPrefetchThreads;
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
        WorkerThread* thread = StartWorker(RunPrefetchWorker, p);
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

} // namespace velaset::compress

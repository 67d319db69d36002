// Compressing the folders of a known file list ahead on worker threads: the plan and the
// writer's side, a folder hook (the workers are in prefetch_worker.cpp).
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

#include "compress/cabinet_format.h"
#include "compress/cabinet_writer.h"
#include "compress/folder_hook.h"
#include "compress/open_folder.h"
#include "compress/prefetch_jobs.h"

namespace velaset::compress {

namespace {

void ReleaseJob(CabinetClient* client, PrefetchJob* job) {
    ReleasePieces(client, job);
    SpillRemove(client, &job->data);
    CabRelease(client, job->files);
    CabRelease(client, job->blocks);
    job->files = nullptr;
    job->blocks = nullptr;
}

// Makes a released slot ready for job j (no job when j is past the list).
void ResetSlot(FolderPrefetch* p, uint32_t j) {
    PrefetchJob* job = JobSlot(p, j);
    std::memset(job, 0, sizeof *job);
    SpillInit(&job->data);
    if (j < p->jobCount) {
        job->first = p->plan[j].first;
        job->count = p->plan[j].count;
    }
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

// Ends the workers and releases the jobs; what is left is the bare state, marked as left.
void Leave(CabinetClient* client, FolderPrefetch* p) {
    StopWorkers(p);
    for (uint32_t j = 0; j < p->window; j++) {
        ReleaseJob(client, &p->slots[j]);
    }
    CabRelease(client, p->slots);
    CabRelease(client, p->plan);
    p->slots = nullptr;
    p->plan = nullptr;
    DestroyWorkerLock(p->lock);
    p->lock = nullptr;
    p->left = true;
}

PrefetchJob* WaitForJob(FolderPrefetch* p, uint32_t index) {
    Lock(p->lock);
    while (JobSlot(p, index)->state != kJobFinished) {
        Wait(p->lock);
    }
    Unlock(p->lock);
    return JobSlot(p, index);
}

// The current job is released: its slot is made ready for the job `window` further on.
void NextJob(FolderPrefetch* p) {
    Lock(p->lock);
    ResetSlot(p, p->current + p->window);
    p->current++;
    WakeAll(p->lock);
    Unlock(p->lock);
}

// Reports blocks from..to of the current job as spilled, as the writer would have while
// compressing them itself; blocks already told while the writer waited are not told again.
bool TakeBlocks(CabinetClient* client, PrefetchJob* job, uint32_t from, uint32_t to,
                ClientProgressFn progress) {
    if (from < job->blocksReported) {
        from = job->blocksReported;
    }
    for (uint32_t b = from; b < to; b++) {
        uint32_t compressed = job->blocks[b] & 0xFFFF;
        uint32_t uncompressed = job->blocks[b] >> 16;
        if (progress(kProgressBlockSpilled, compressed, uncompressed, client->context) == -1) {
            return CabFail(client, kCabUserAbort, 0);
        }
        job->blocksReported = b + 1;
    }
    return true;
}

// Waits until the job is finished, telling the progress callback of each block its worker
// compresses meanwhile, so that the caller sees the bytes move (and may stop) during a
// long folder. The sizes are copied under the lock and told outside it.
bool WaitTelling(CabinetClient* client, FolderPrefetch* p, PrefetchJob* job,
                 ClientProgressFn progress) {
    uint32_t sizes[64];
    for (;;) {
        Lock(p->lock);
        while (job->state != kJobFinished && job->blocksReported == job->blockCount) {
            Wait(p->lock);
        }
        uint32_t count = 0;
        while (count < 64 && job->blocksReported + count < job->blockCount) {
            sizes[count] = job->blocks[job->blocksReported + count];
            count++;
        }
        bool finished =
            job->state == kJobFinished && job->blocksReported + count == job->blockCount;
        Unlock(p->lock);
        for (uint32_t i = 0; i < count; i++) {
            if (progress(kProgressBlockSpilled, sizes[i] & 0xFFFF, sizes[i] >> 16,
                         client->context) == -1) {
                return CabFail(client, kCabUserAbort, 0);
            }
            job->blocksReported++;
        }
        if (finished) {
            return true;
        }
    }
}

// Gives up the current job's compressed data: the folder's blocks are made again from the
// sources of the files taken so far (their records are already right), and the rest of
// the job is added the ordinary way.
bool RebuildFolder(CabinetClient* client, FolderPrefetch* p, OpenFolder* f,
                   ClientProgressFn progress) {
    PrefetchJob* job = JobSlot(p, p->current);
    int detail = 0;
    p->adopted = false;
    p->sequentialJob = p->current;
    if (!SpillRemove(client, &f->data, &detail)) {
        return CabFail(client, kCabTempFileFailed, detail);
    }
    if (!SpillCreate(client, &f->data)) {
        return false;
    }
    if (!FolderRenewCompressor(client, f)) {
        return false;
    }
    f->uncompressed = 0;
    f->fill = 0;
    const BlockReport report = {progress, client->context};
    for (uint32_t i = 0; i < p->filesTaken; i++) {
        FileRecord again;
        if (!FolderAddFileData(client, f, p->entries[job->first + i], p->openSource, report,
                               &again)) {
            return false;
        }
    }
    return true;
}

// Done with the current job: its memory goes, and the workers may start one more.
void FinishJob(CabinetClient* client, FolderPrefetch* p) {
    ReleaseJob(client, WaitForJob(p, p->current));
    p->adopted = false;
    p->filesTaken = 0;
    NextJob(p);
}

FolderHookAnswer AddFile(void* user, CabinetClient* client, OpenFolder* f, const char* sourcePath,
                         ClientOpenSourceFn openSource, ClientProgressFn progress,
                         FileRecord* record) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(user);
    if (p->left) {
        return kHookPass;
    }
    while (p->cursor < p->entryCount && p->entries[p->cursor] == nullptr) {
        p->cursor++;
    }
    bool planned = p->cursor < p->entryCount && p->current < p->jobCount &&
                   openSource == p->openSource &&
                   std::strcmp(p->entries[p->cursor], sourcePath) == 0;
    PrefetchJob* job = planned ? JobSlot(p, p->current) : nullptr;
    uint32_t index = planned ? p->cursor - job->first : 0;
    if (planned && index >= job->count) {
        planned = false;
    }
    if (planned && index == 0 && (p->adopted || !FolderIsEmpty(f))) {
        planned = false; // a job must start a folder of its own
    }
    if (!planned) {
        // The calls left the plan: the current job is given up and the rest goes the
        // ordinary way.
        bool ok = !p->adopted || RebuildFolder(client, p, f, progress);
        Leave(client, p);
        return ok ? kHookPass : kHookFailed;
    }
    p->cursor++;
    if (index == 0) {
        if (!WaitTelling(client, p, job, progress)) {
            return kHookFailed;
        }
        if (job->handedBack) {
            p->sequentialJob = p->current;
        }
    }
    if (p->current == p->sequentialJob) {
        if (index + 1 == job->count) {
            FinishJob(client, p);
        }
        return kHookPass;
    }
    if (index == 0) {
        int detail = 0;
        if (!SpillRemove(client, &f->data, &detail)) {
            CabFail(client, kCabTempFileFailed, detail);
            return kHookFailed;
        }
        SpillMove(&f->data, &job->data);
        f->data.size = 0;
        p->adopted = true;
        p->filesTaken = 0;
    }
    const PrefetchedFile* note = &job->files[index];
    uint32_t fromBlock = index == 0 ? 0 : job->files[index - 1].blocksEnd;
    if (!TakeBlocks(client, job, fromBlock, note->blocksEnd, progress)) {
        return kHookFailed;
    }
    f->data.size = note->dataSize;
    record->size = note->size;
    record->offset = f->uncompressed;
    record->date = note->date;
    record->time = note->time;
    record->attributes = note->attributes;
    f->uncompressed += note->size;
    p->filesTaken++;
    return kHookDone;
}

bool BeforeClose(void* user, CabinetClient* client, OpenFolder* f, ClientProgressFn progress) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(user);
    if (p->left || !p->adopted) {
        return true;
    }
    PrefetchJob* job = JobSlot(p, p->current);
    if (p->filesTaken < job->count) {
        return RebuildFolder(client, p, f, progress);
    }
    uint32_t fromBlock = job->files[job->count - 1].blocksEnd;
    if (!TakeBlocks(client, job, fromBlock, job->blockCount, progress)) {
        return false;
    }
    f->data.size = job->tailSize;
    FinishJob(client, p);
    return true;
}

void Stop(void* user, CabinetClient* client) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(user);
    if (!p->left) {
        Leave(client, p);
    }
    CabRelease(client, p);
}

const FolderHook kPrefetchHook = {AddFile, BeforeClose, Stop};

} // namespace

void StartFolderPrefetch(CabContext* cab, char* const* entries, uint32_t count,
                         ClientOpenSourceFn openSource, unsigned threads,
                         const PieceSettings& pieces) {
    if (threads < 2) {
        return;
    }
    if (threads > kMaxPrefetchThreads) {
        threads = kMaxPrefetchThreads;
    }
    uint32_t pieceBytes = pieces.bytes - pieces.bytes % kBlockSize;
    if (pieceBytes != 0 && pieceBytes < kMinPieceBytes) {
        pieceBytes = kMinPieceBytes;
    }
    uint32_t leadBlocks = pieces.leadBlocks < 1 ? 1 : pieces.leadBlocks;
    leadBlocks = leadBlocks > kMaxLeadBlocks ? kMaxLeadBlocks : leadBlocks;
    uint32_t jobCount = CountJobs(entries, count);
    // One job alone is worth the threads only when its file may be cut into pieces.
    if (jobCount == 0 || (jobCount == 1 && pieceBytes == 0)) {
        return;
    }
    // The prefetch is optional: its memory is asked of the client without filling the
    // writer's error record when refused.
    CabinetClient* client = FCIClient(cab);
    FolderPrefetch* p = static_cast<FolderPrefetch*>(client->cb.alloc(sizeof(FolderPrefetch)));
    if (p == nullptr) {
        return;
    }
    std::memset(p, 0, sizeof *p);
    p->window = threads + 1;
    p->plan = static_cast<JobPlan*>(client->cb.alloc(jobCount * sizeof(JobPlan)));
    p->slots = static_cast<PrefetchJob*>(client->cb.alloc(p->window * sizeof(PrefetchJob)));
    p->lock = CreateWorkerLock();
    if (p->plan == nullptr || p->slots == nullptr || p->lock == nullptr) {
        if (p->lock != nullptr) {
            DestroyWorkerLock(p->lock);
        }
        CabRelease(client, p->plan);
        CabRelease(client, p->slots);
        CabRelease(client, p);
        return;
    }
    p->client = client;
    p->entries = entries;
    p->entryCount = count;
    p->openSource = openSource;
    p->jobCount = jobCount;
    p->pieceBytes = pieceBytes;
    p->leadBlocks = leadBlocks;
    p->sequentialJob = jobCount;
    uint32_t j = 0;
    for (uint32_t i = 0; i < count; i++) {
        if (entries[i] == nullptr) {
            continue;
        }
        if (i == 0 || entries[i - 1] == nullptr) {
            p->plan[j].first = i;
            p->plan[j].count = 0;
            j++;
        }
        p->plan[j - 1].count++;
    }
    for (j = 0; j < p->window; j++) {
        ResetSlot(p, j);
    }
    for (unsigned t = 0; t < threads; t++) {
        WorkerThread* thread = StartWorker(RunPrefetchWorker, p);
        if (thread == nullptr) {
            break;
        }
        p->threads[p->threadCount++] = thread;
    }
    if (p->threadCount == 0 || !FCISetFolderHook(cab, &kPrefetchHook, p)) {
        Stop(p, client);
    }
}

} // namespace velaset::compress

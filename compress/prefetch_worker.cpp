// The worker side of the folder prefetch: compressing a job's files as the writer would
// compress a folder that starts with them, into a data spill of the job's own, and taking
// the pieces of large files that nobody runs (prefetch_pieces.cpp).
#include <cstring>

#include "compress/open_folder.h"
#include "compress/prefetch_jobs.h"

namespace velaset::compress {

bool AppendBlock(CabinetClient* client, uint32_t** blocks, uint32_t* count, uint32_t* capacity,
                 uint32_t block) {
    if (*count == *capacity) {
        uint32_t grown = *capacity == 0 ? 64 : *capacity * 2;
        uint32_t* larger = static_cast<uint32_t*>(CabAlloc(client, grown * 4));
        if (larger == nullptr) {
            return false;
        }
        if (*count > 0) {
            std::memcpy(larger, *blocks, *count * 4);
        }
        CabRelease(client, *blocks);
        *blocks = larger;
        *capacity = grown;
    }
    (*blocks)[(*count)++] = block;
    return true;
}

bool AllocateNotes(CabinetClient* client, PrefetchJob* job) {
    job->files =
        static_cast<PrefetchedFile*>(CabAlloc(client, job->count * sizeof(PrefetchedFile)));
    if (job->files == nullptr) {
        return false;
    }
    std::memset(job->files, 0, job->count * sizeof(PrefetchedFile));
    return true;
}

namespace {

// Notes each block of the running job as the folder spills it, under the lock, and wakes
// the writer, which tells its progress while it waits; a stop asked for by the writer
// ends the job like a failure.
long NoteBlock(unsigned, uint32_t compressed, uint32_t uncompressed, void* worker) {
    PrefetchWorker* w = static_cast<PrefetchWorker*>(worker);
    PrefetchJob* job = w->job;
    FolderPrefetch* p = w->prefetch;
    Lock(p->lock);
    long answer = p->stopping ? -1 : 0;
    if (answer == 0 && !AppendBlock(&w->client, &job->blocks, &job->blockCount, &job->blockCapacity,
                                    compressed | (uncompressed << 16))) {
        answer = -1;
    }
    if (answer == 0) {
        WakeAll(p->lock);
    }
    Unlock(p->lock);
    return answer;
}

// A job of several files, in one go.
void RunJob(PrefetchWorker* w, PrefetchJob* job) {
    FolderPrefetch* p = w->prefetch;
    OpenFolder* f = &w->folder;
    const BlockReport report = {NoteBlock, w};
    w->job = job;
    f->uncompressed = 0;
    f->fill = 0;
    // Every folder starts with a fresh compressor, as on the writer's thread.
    bool ok = AllocateNotes(&w->client, job) && SpillCreate(&w->client, &f->data) &&
              FolderRenewCompressor(&w->client, f);
    for (uint32_t i = 0; ok && i < job->count; i++) {
        FileRecord record;
        PrefetchedFile* note = &job->files[i];
        ok = FolderAddFileData(&w->client, f, p->entries[job->first + i], p->openSource, report,
                               &record);
        note->date = record.date;
        note->time = record.time;
        note->attributes = record.attributes;
        note->size = record.size;
        note->dataSize = f->data.size;
        note->blocksEnd = job->blockCount;
    }
    // The folder's last, partial block.
    ok = ok && FolderSpillBlock(&w->client, f, report);
    job->tailSize = f->data.size;
    if (ok) {
        SpillMove(&job->data, &f->data);
    } else {
        SpillRemove(&w->client, &f->data);
        job->handedBack = true;
    }
    Lock(p->lock);
    job->state = kJobFinished;
    WakeAll(p->lock);
    Unlock(p->lock);
}

void ReleaseWorker(PrefetchWorker* w) {
    FolderReleaseCompressor(&w->client, &w->folder);
    if (w->checker != nullptr) {
        MsZipDestroy(w->checker);
    }
    CabRelease(&w->client, w->lead);
    CabRelease(&w->client, w->blocks);
}

} // namespace

void RunPrefetchWorker(void* argument) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(argument);
    PrefetchWorker w;
    std::memset(&w, 0, sizeof w);
    w.prefetch = p;
    w.client.cb = p->client->cb;
    w.client.context = p->client->context;
    w.client.err = &w.err;
    FolderInit(&w.folder);
    bool ready = FolderSetType(&w.client, &w.folder, kCompressionMsZip);
    Lock(p->lock);
    w.number = ++p->workersNumbered;
    while (!p->stopping) {
        PrefetchJob* job = nullptr;
        uint32_t piece = 0;
        if (ready && ClaimGuess(&w, &job, &piece)) {
            Unlock(p->lock);
            RunGuess(&w, job, piece);
            Lock(p->lock);
            continue;
        }
        if (p->nextToStart < p->jobCount && p->nextToStart < p->current + p->window) {
            job = JobSlot(p, p->nextToStart++);
            job->state = kJobRunning;
            Unlock(p->lock);
            if (!ready) {
                job->handedBack = true; // no memory of its own for compressing
                Lock(p->lock);
                job->state = kJobFinished;
                WakeAll(p->lock);
                continue;
            }
            if (job->count == 1 && p->pieceBytes != 0) {
                RunFileJob(&w, job);
            } else {
                RunJob(&w, job);
            }
            Lock(p->lock);
            continue;
        }
        if (!JobsLeft(p)) {
            break;
        }
        Wait(p->lock);
    }
    Unlock(p->lock);
    ReleaseWorker(&w);
}

} // namespace velaset::compress

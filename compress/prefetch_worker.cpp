// The worker side of the folder prefetch: compressing a job's files as the writer would
// compress a folder that starts with them, into a data spill of the job's own.
#include <cstring>

#include "compress/open_folder.h"
#include "compress/prefetch_jobs.h"

namespace velaset::compress {

namespace {

// A worker's own share of the writer: the client's callbacks and context with an error
// record of its own, and an open folder whose data spill is the running job's.
struct Worker {
    FolderPrefetch* prefetch;
    CabinetClient client;
    CabError err;
    OpenFolder folder;
    PrefetchJob* job;
};

// Notes each block of the running job as the folder spills it, under the lock, and wakes
// the writer, which tells its progress while it waits; a stop asked for by the writer
// ends the job like a failure.
long NoteBlock(unsigned, uint32_t compressed, uint32_t uncompressed, void* worker) {
    Worker* w = static_cast<Worker*>(worker);
    PrefetchJob* job = w->job;
    FolderPrefetch* p = w->prefetch;
    Lock(p->lock);
    long answer = p->stopping ? -1 : 0;
    if (answer == 0 && job->blockCount == job->blockCapacity) {
        uint32_t capacity = job->blockCapacity == 0 ? 64 : job->blockCapacity * 2;
        uint32_t* grown = static_cast<uint32_t*>(CabAlloc(&w->client, capacity * 4));
        if (grown == nullptr) {
            answer = -1;
        } else {
            if (job->blockCount > 0) {
                std::memcpy(grown, job->blocks, job->blockCount * 4);
            }
            CabRelease(&w->client, job->blocks);
            job->blocks = grown;
            job->blockCapacity = capacity;
        }
    }
    if (answer == 0) {
        job->blocks[job->blockCount++] = compressed | (uncompressed << 16);
        WakeAll(p->lock);
    }
    Unlock(p->lock);
    return answer;
}

void RunJob(Worker* w, PrefetchJob* job) {
    FolderPrefetch* p = w->prefetch;
    OpenFolder* f = &w->folder;
    const BlockReport report = {NoteBlock, w};
    w->job = job;
    f->uncompressed = 0;
    f->fill = 0;
    // Every folder starts with a fresh compressor, as on the writer's thread.
    bool ok = SpillCreate(&w->client, &f->data) && FolderRenewCompressor(&w->client, f);
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
}

} // namespace

void RunPrefetchWorker(void* argument) {
    FolderPrefetch* p = static_cast<FolderPrefetch*>(argument);
    Worker w;
    std::memset(&w, 0, sizeof w);
    w.prefetch = p;
    w.client.cb = p->client->cb;
    w.client.context = p->client->context;
    w.client.err = &w.err;
    FolderInit(&w.folder);
    bool ready = FolderSetType(&w.client, &w.folder, kCompressionMsZip);
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
    FolderReleaseCompressor(&w.client, &w.folder);
}

} // namespace velaset::compress

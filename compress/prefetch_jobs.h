// Inside of the folder prefetch: the jobs that worker threads compress ahead and the
// state the writer's thread and the workers share under its lock. Not for clients.
#ifndef VELASET_COMPRESS_PREFETCH_JOBS_H
#define VELASET_COMPRESS_PREFETCH_JOBS_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/spill_file.h"
#include "compress/worker_thread.h"

namespace velaset::compress {

const unsigned kMaxPrefetchThreads = 4;

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
    // The writer's: blocks already told to its progress callback (while it waited for the
    // job, or as it took the job's files).
    uint32_t blocksReported;
    uint32_t tailSize; // data spill size with the folder's last, partial block
};

struct FolderPrefetch {
    // The writer's client; workers use its callbacks and context with error records of
    // their own.
    const CabinetClient* client;
    WorkerLock* lock;
    WorkerThread* threads[kMaxPrefetchThreads];
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
    bool left;              // the calls left the plan: workers and jobs are gone
};

// The worker notes every block of its job in blocks under the lock and wakes the writer,
// which may read blocks 0..blockCount-1 under the lock while the job still runs.

// A worker thread's main: takes waiting jobs in list order, at most `window` ahead of the
// writer's current job, until all are taken or the prefetch stops.
void RunPrefetchWorker(void* prefetch);

} // namespace velaset::compress

#endif

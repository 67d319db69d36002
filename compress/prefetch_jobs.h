// Inside of the folder prefetch: the jobs that worker threads compress ahead, the pieces
// of a large one, and the state the writer's thread and the workers share under its
// lock. Not for clients.
#ifndef VELASET_COMPRESS_PREFETCH_JOBS_H
#define VELASET_COMPRESS_PREFETCH_JOBS_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/mszip.h"
#include "compress/open_folder.h"
#include "compress/spill_file.h"
#include "compress/worker_thread.h"

namespace velaset::compress {

const unsigned kMaxPrefetchThreads = 4;

// Most blocks before a piece's start that a worker reads to start there on a guess.
const uint32_t kMaxLeadBlocks = 3;
// The smallest piece: a guess costs the lead blocks and a check.
const uint32_t kMinPieceBytes = 4 * 32768;
// A one-file job smaller than this goes back to the writer: compressing it costs less
// than the spill file a worker would make for it (thousands of small files).
const uint32_t kSmallFileBytes = 8192;

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

// A stretch of a one-file job, whole blocks from `start` (the last one to the file's end),
// compressed into a spill of its own. A worker's run is a piece started on a guess (or the
// job's first piece, which starts the folder) and the pieces after it that the same
// worker went on to with the same compressor. A run's output is kept only when the run
// before it, arrived at the guessed piece, holds the same compressor state as the guess
// (MsZipSameHistory); otherwise that run compresses the guessed pieces again itself.
enum PieceState {
    kPieceWaiting, // nobody runs it
    kPieceLeading, // a worker reads its lead, to start on a guess
    kPieceRunning,
    kPieceDone, // data and blocks hold its output
};

struct PrefetchPiece {
    uint32_t start; // offset in the file, a multiple of the block size
    PieceState state;
    unsigned runner; // worker number + 1, 0 for none
    bool guessed;    // its runner started it on a guess (and not with the piece before)
    bool proven;     // it starts from the compressor state that one thread would have
    bool noGuess;    // a guess here failed: only the run before may go on into it
    uint8_t* lead;   // the lead blocks before start, as the guessing worker read them
    SpillFile data;
    uint32_t* blocks; // as PrefetchJob::blocks
    uint32_t blockCount;
    uint32_t bytes; // of the file, read for it
};

struct PrefetchJob {
    uint32_t first; // as in the plan
    uint32_t count;
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
    // A job of one large file is cut into pieces that several workers may run at once.
    PrefetchPiece* pieces;
    uint32_t pieceCount; // 0: the job is compressed in one go
    uint32_t joined;     // pieces whose output is in `data` already
    bool joining;        // a worker is moving finished pieces into `data`
    unsigned runners;    // workers at work on its pieces
    uint16_t date;       // of the file, for its record once all pieces are in
    uint16_t time;
    uint16_t attributes;
};

// Where a job lies in the list of entries.
struct JobPlan {
    uint32_t first; // entry index of the first path
    uint32_t count; // paths in the job
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
    JobPlan* plan; // per job of the list
    uint32_t jobCount;
    // The jobs that may be at work, from the writer's current one on: job j in slot
    // j % window. So memory does not grow with the number of jobs.
    PrefetchJob* slots;
    uint32_t nextToStart; // job the next free worker takes
    uint32_t current;     // job the writer takes files from
    uint32_t window;      // jobs that may be started ahead of the current one
    uint32_t pieceBytes;  // size of a piece of a large file; 0: files are not cut
    uint32_t leadBlocks;  // blocks before a piece that a guess is made from
    unsigned workersNumbered;
    bool stopping;
    // The writer's side, touched by the calling thread only.
    uint32_t cursor;        // next entry expected from the calls
    bool adopted;           // the current job's spill is the folder data spill
    uint32_t filesTaken;    // files of the current job added so far
    uint32_t sequentialJob; // a job whose files go the ordinary way, or jobCount
    bool left;              // the calls left the plan: workers and jobs are gone
};

inline PrefetchJob* JobSlot(FolderPrefetch* p, uint32_t job) {
    return &p->slots[job % p->window];
}

// A worker that starts a job: room for the notes of its files (false when memory is short).
bool AllocateNotes(CabinetClient* client, PrefetchJob* job);

// A worker thread's own share of the writer: the client's callbacks and context with an
// error record of its own, and an open folder whose data spill is the running job's or
// piece's.
struct PrefetchWorker {
    FolderPrefetch* prefetch;
    unsigned number; // 1, 2, ...: the runner mark of its pieces
    CabinetClient client;
    CabError err;
    OpenFolder folder;
    PrefetchJob* job;
    // The piece being run, and its blocks so far (as PrefetchJob::blocks).
    PrefetchPiece* piece;
    uint32_t* blocks;
    uint32_t blockCount;
    uint32_t blockCapacity;
    // For checking a guess: a copy of its lead, and a compressor to start from it again.
    uint8_t* lead;
    MsZipCompressor* checker;
};

// The worker notes every block of its job in blocks under the lock and wakes the writer,
// which may read blocks 0..blockCount-1 under the lock while the job still runs; the
// blocks of a job in pieces are noted as its pieces are joined.

// A worker thread's main: takes the pieces of started jobs that nobody runs, and waiting
// jobs in list order at most `window` ahead of the writer's current job, until every job
// is finished or the prefetch stops.
void RunPrefetchWorker(void* prefetch);

// Appends a block's sizes to a growing list; false when memory is short.
bool AppendBlock(CabinetClient* client, uint32_t** blocks, uint32_t* count, uint32_t* capacity,
                 uint32_t block);

// The pieces of one-file jobs (prefetch_pieces.cpp). Compresses a one-file job from its
// start: the file is cut into pieces when it is large, and the worker runs the first.
void RunFileJob(PrefetchWorker* w, PrefetchJob* job);
// Under the lock: a piece that a free worker may start on a guess, marked as its own, or
// false when there is none.
bool ClaimGuess(PrefetchWorker* w, PrefetchJob** job, uint32_t* piece);
// Starts the claimed piece on a guess and runs on from it.
void RunGuess(PrefetchWorker* w, PrefetchJob* job, uint32_t piece);
// Whether a worker may be needed for a started job: not all of it finished.
bool JobsLeft(FolderPrefetch* p);
// Closes and deletes the spills of the job's pieces and releases them (no worker at work).
void ReleasePieces(CabinetClient* client, PrefetchJob* job);

} // namespace velaset::compress

#endif

// The pieces of a large file: several workers compress one folder at once, and the
// folder comes out byte for byte as from one compressor.
//
// Each block of a folder depends on what the block before left in the compressor: its
// bytes, and which of its positions entered the hash chains with which links. A worker
// that starts a piece on a guess reads the blocks before the piece's start (its lead),
// primes its compressor with the first and compresses the others to warm it up; that
// nearly always leaves the state that one compressor would have there. The worker whose
// run arrives at the guessed piece knows the true state and checks the guess against it
// (MsZipSameHistory, over a compressor started again from the same lead): the same, and
// the guessing run's output is kept; not the same, and the arriving worker compresses the
// guessed pieces again itself. Only a run whose own start is proven checks another; a run
// whose start is still open waits at the next guessed piece.
//
// Failures: a worker that runs a proven piece and meets any failure hands the whole job
// back to the writer, which does it again and meets the failure as with one thread; a
// guessing run that fails only gives its pieces up, and the run before goes on into them.
#include <cstring>

#include "compress/cabinet_format.h"
#include "compress/prefetch_jobs.h"

namespace velaset::compress {

namespace {

const int kSeekSet = 0;
const int kSeekEnd = 2;
const uint32_t kMaxLeadBytes = kMaxLeadBlocks * kBlockSize;

// ---- Under the prefetch's lock ----

// The worker still runs its piece: nobody took it over, the job goes on, so does the prefetch.
bool StillMine(const PrefetchWorker* w) {
    return w->piece->runner == w->number && !w->job->handedBack && !w->prefetch->stopping;
}

// The guess at piece k was right: it and the pieces its runner went on to are proven.
void Prove(PrefetchJob* job, uint32_t k) {
    const unsigned runner = job->pieces[k].runner;
    job->pieces[k].proven = true;
    for (uint32_t m = k + 1; m < job->pieceCount; m++) {
        PrefetchPiece* piece = &job->pieces[m];
        if (piece->runner != runner || piece->guessed || piece->state == kPieceWaiting) {
            break;
        }
        piece->proven = true;
    }
}

// The guess at piece k was wrong: the worker `number` takes over k and the pieces its
// runner went on to, to compress them again; their output so far stays until replaced.
void TakeOver(PrefetchJob* job, uint32_t k, unsigned number) {
    const unsigned runner = job->pieces[k].runner;
    for (uint32_t m = k; m < job->pieceCount; m++) {
        PrefetchPiece* piece = &job->pieces[m];
        if (piece->runner != runner || (m > k && piece->guessed)) {
            break;
        }
        piece->runner = number;
        piece->guessed = false;
        piece->proven = false;
        piece->state = kPieceWaiting; // kept for `number`, who goes on into it
    }
}

// A guessing run failed at piece k: its pieces (from its guessed start to k) are given up,
// for the run before to go on into; neither its start nor k is guessed at again.
void DropRun(CabinetClient* client, PrefetchJob* job, uint32_t k, unsigned number) {
    uint32_t m = k;
    for (;;) {
        PrefetchPiece* piece = &job->pieces[m];
        SpillRemove(client, &piece->data);
        CabRelease(client, piece->blocks);
        piece->blocks = nullptr;
        piece->blockCount = 0;
        piece->runner = 0;
        piece->proven = false;
        piece->state = kPieceWaiting;
        bool start = piece->guessed || m == 0;
        piece->guessed = false;
        if (start) {
            CabRelease(client, piece->lead);
            piece->lead = nullptr;
            piece->noGuess = true;
            break;
        }
        m--;
        if (job->pieces[m].runner != number) {
            break;
        }
    }
    job->pieces[k].noGuess = true;
}

// The job's record once all its pieces are in: one file, whose last block alone may be short.
void NoteFile(PrefetchJob* job, uint32_t fileBytes) {
    PrefetchedFile* note = &job->files[0];
    note->date = job->date;
    note->time = job->time;
    note->attributes = job->attributes;
    note->size = fileBytes;
    note->blocksEnd = job->blockCount;
    note->dataSize = job->data.size;
    if (job->blockCount > 0 && (job->blocks[job->blockCount - 1] >> 16) < kBlockSize) {
        note->blocksEnd--;
        note->dataSize -= kDataHeaderSize + (job->blocks[job->blockCount - 1] & 0xFFFF);
    }
    job->tailSize = job->data.size;
}

// The worker is done with the job; the last one out finishes it once every piece is in,
// or once it was handed back.
void LeaveJob(PrefetchWorker* w, PrefetchJob* job) {
    job->runners--;
    bool complete = job->joined == job->pieceCount && job->pieceCount > 0;
    if (job->runners == 0 && (job->handedBack || complete) && job->state != kJobFinished) {
        if (!job->handedBack) {
            uint32_t bytes = 0;
            for (uint32_t k = 0; k < job->pieceCount; k++) {
                bytes += job->pieces[k].bytes;
            }
            NoteFile(job, bytes);
        }
        job->state = kJobFinished;
        WakeAll(w->prefetch->lock);
    }
}

// ---- Without the lock ----

// Reads up to `want` bytes; answers the count (short only at the end of the file), or -1.
int ReadFully(PrefetchWorker* w, int source, uint8_t* to, uint32_t want) {
    uint32_t got = 0;
    while (got < want) {
        int err = 0;
        int n = w->client.cb.read(source, to + got, want - got, &err, w->client.context);
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<uint32_t>(n);
    }
    return static_cast<int>(got);
}

// Notes each block of the running piece; answers -1 (which stops the piece) once the
// worker no longer runs it.
long NotePieceBlock(unsigned, uint32_t compressed, uint32_t uncompressed, void* worker) {
    PrefetchWorker* w = static_cast<PrefetchWorker*>(worker);
    if (!AppendBlock(&w->client, &w->blocks, &w->blockCount, &w->blockCapacity,
                     compressed | (uncompressed << 16))) {
        return -1;
    }
    Lock(w->prefetch->lock);
    bool mine = StillMine(w);
    Unlock(w->prefetch->lock);
    return mine ? 0 : -1;
}

// Compresses the piece's bytes, from where the source stands, into a new spill of the
// worker's folder: `length` bytes, or to the end of the file for the last piece. *bytes
// tells how many were read. Touches nothing of the piece but through the lock: another
// worker may have taken it over.
bool CompressPiece(PrefetchWorker* w, PrefetchPiece* piece, int source, bool last, uint32_t length,
                   uint32_t* bytes) {
    OpenFolder* f = &w->folder;
    const BlockReport report = {NotePieceBlock, w};
    const uint32_t start = piece->start;
    w->piece = piece;
    w->blockCount = 0;
    f->fill = 0;
    *bytes = 0;
    if (!SpillCreate(&w->client, &f->data)) {
        return false;
    }
    for (;;) {
        uint32_t want = last ? kBlockSize : length - *bytes;
        if (want > kBlockSize) {
            want = kBlockSize;
        }
        if (want == 0) {
            return true;
        }
        int n = ReadFully(w, source, f->input, want);
        if (n < 0) {
            return false;
        }
        if (static_cast<uint32_t>(n) > kMaxFolderBytes - start - *bytes) {
            return false; // the writer meets the format's limit itself
        }
        *bytes += static_cast<uint32_t>(n);
        f->fill = static_cast<uint32_t>(n);
        if (!FolderSpillBlock(&w->client, f, report)) {
            return false;
        }
        if (static_cast<uint32_t>(n) < want) {
            // The end of the file: only the last piece may end short.
            return last;
        }
    }
}

// Moves a finished piece's output to the end of the job's data (the first piece's spill
// becomes the job's spill).
bool AppendPiece(PrefetchWorker* w, PrefetchJob* job, SpillFile* data) {
    CabinetClient* client = &w->client;
    if (job->data.handle == -1) {
        SpillMove(&job->data, data);
        return true;
    }
    bool ok = SpillRewind(client, data);
    for (uint32_t left = data->size; ok && left > 0;) {
        uint32_t chunk = left < kCopyChunk ? left : kCopyChunk;
        ok = ReadFully(w, data->handle, w->folder.input, chunk) == static_cast<int>(chunk) &&
             SpillWrite(client, &job->data, w->folder.input, chunk);
        left -= chunk;
    }
    SpillRemove(client, data);
    return ok;
}

// Moves the finished, proven pieces at the front of the job into its data, in order; one
// worker at a time. A failure hands the job back.
void JoinPieces(PrefetchWorker* w, PrefetchJob* job) {
    WorkerLock* lock = w->prefetch->lock;
    Lock(lock);
    if (job->joining) {
        Unlock(lock);
        return;
    }
    job->joining = true;
    while (job->joined < job->pieceCount && !job->handedBack) {
        PrefetchPiece* piece = &job->pieces[job->joined];
        if (piece->state != kPieceDone || !piece->proven) {
            break;
        }
        SpillFile data;
        SpillMove(&data, &piece->data);
        uint32_t* blocks = piece->blocks;
        uint32_t blockCount = piece->blockCount;
        piece->blocks = nullptr;
        piece->blockCount = 0;
        Unlock(lock);
        bool ok = AppendPiece(w, job, &data);
        Lock(lock);
        // The blocks under the lock: the writer may tell them to its progress meanwhile.
        for (uint32_t b = 0; ok && b < blockCount; b++) {
            ok = AppendBlock(&w->client, &job->blocks, &job->blockCount, &job->blockCapacity,
                             blocks[b]);
        }
        CabRelease(&w->client, blocks);
        if (!ok) {
            job->handedBack = true;
        }
        WakeAll(lock);
        job->joined++;
    }
    job->joining = false;
    Unlock(lock);
}

// A compressor started from a guess's lead, as the guessing worker started its own, and
// whether it holds what the worker's compressor holds at the end of the piece before.
bool SameAsGuess(PrefetchWorker* w) {
    OpenFolder* f = &w->folder;
    if (w->checker == nullptr) {
        uint32_t blockSize = kBlockSize, maxOutput = 0;
        if (MsZipCreate(&blockSize, w->client.cb.alloc, w->client.cb.release, &w->checker,
                        &maxOutput) != MSZIP_OK) {
            w->checker = nullptr;
            return false; // then the guessed pieces are compressed again: slower, the same bytes
        }
    }
    uint32_t size = 0;
    if (MsZipPrime(w->checker, w->lead, kBlockSize) != MSZIP_OK) {
        return false;
    }
    for (uint32_t b = 1; b < w->prefetch->leadBlocks; b++) {
        if (MsZipCompress(w->checker, w->lead + b * kBlockSize, kBlockSize, f->output, f->maxOutput,
                          &size) != MSZIP_OK) {
            return false;
        }
    }
    return MsZipSameHistory(f->compressor, w->checker);
}

// Runs pieces from k on, with the worker's compressor as it stands at k's start and the
// source positioned there, until the run meets the job's end, a guess it checks, another
// worker, or a failure.
void RunFrom(PrefetchWorker* w, PrefetchJob* job, uint32_t k, int source) {
    FolderPrefetch* p = w->prefetch;
    CabinetClient* client = &w->client;
    for (;;) {
        PrefetchPiece* piece = &job->pieces[k];
        const bool last = k + 1 == job->pieceCount;
        const uint32_t length = last ? 0 : job->pieces[k + 1].start - piece->start;
        uint32_t bytes = 0;
        bool ok = CompressPiece(w, piece, source, last, length, &bytes);
        SpillFile earlier; // what the piece held from a guess that was wrong
        SpillInit(&earlier);
        Lock(p->lock);
        if (!StillMine(w)) {
            Unlock(p->lock);
            SpillRemove(client, &w->folder.data);
            return;
        }
        if (!ok) {
            if (piece->proven) {
                job->handedBack = true;
            } else {
                DropRun(client, job, k, w->number);
            }
            WakeAll(p->lock);
            Unlock(p->lock);
            SpillRemove(client, &w->folder.data);
            return;
        }
        SpillMove(&earlier, &piece->data);
        SpillMove(&piece->data, &w->folder.data);
        CabRelease(client, piece->blocks);
        piece->blocks = w->blocks;
        piece->blockCount = w->blockCount;
        w->blocks = nullptr;
        w->blockCount = w->blockCapacity = 0;
        piece->bytes = bytes;
        piece->state = kPieceDone;
        WakeAll(p->lock);
        // What comes after the piece.
        bool goOn = false;
        while (!last && StillMine(w)) {
            PrefetchPiece* next = &job->pieces[k + 1];
            if (next->state == kPieceLeading ||
                (next->state == kPieceWaiting &&
                 (next->runner == 0 || next->runner == w->number))) {
                // Nobody runs it, or a guess there is still being read: go on into it.
                next->runner = w->number;
                next->guessed = false;
                next->proven = piece->proven;
                next->state = kPieceRunning;
                goOn = true;
                break;
            }
            if (!piece->proven) {
                Wait(p->lock); // until the run's own start is checked
                continue;
            }
            if (next->state == kPieceWaiting || next->lead == nullptr) {
                // Kept for another worker, or a guess without its lead: neither can follow
                // a piece of this worker's. Rather than trust the pieces, the writer does
                // the job again.
                job->handedBack = true;
                WakeAll(p->lock);
                break;
            }
            const unsigned guesser = next->runner;
            const uint8_t* lead = next->lead;
            if (w->lead == nullptr) {
                w->lead = static_cast<uint8_t*>(CabAlloc(client, kMaxLeadBytes));
            }
            bool same = false; // without memory for the check, the guess counts as wrong
            if (w->lead != nullptr) {
                std::memcpy(w->lead, lead, p->leadBlocks * kBlockSize);
                Unlock(p->lock);
                same = SameAsGuess(w);
                Lock(p->lock);
            }
            if (next->runner != guesser || next->lead != lead || !next->guessed) {
                continue; // the guess went meanwhile: look again
            }
            CabRelease(client, next->lead);
            next->lead = nullptr;
            if (same) {
                Prove(job, k + 1);
                WakeAll(p->lock);
                break;
            }
            TakeOver(job, k + 1, w->number);
            WakeAll(p->lock);
        }
        Unlock(p->lock);
        SpillRemove(client, &earlier);
        JoinPieces(w, job);
        if (!goOn) {
            return;
        }
        k++;
    }
}

} // namespace

bool JobsLeft(FolderPrefetch* p) {
    if (p->nextToStart < p->jobCount) {
        return true;
    }
    for (uint32_t j = p->current; j < p->nextToStart; j++) {
        if (JobSlot(p, j)->state != kJobFinished) {
            return true;
        }
    }
    return false;
}

bool ClaimGuess(PrefetchWorker* w, PrefetchJob** claimed, uint32_t* index) {
    FolderPrefetch* p = w->prefetch;
    for (uint32_t j = p->current; j < p->nextToStart; j++) {
        PrefetchJob* job = JobSlot(p, j);
        if (job->state == kJobFinished || job->handedBack) {
            continue;
        }
        for (uint32_t k = 1; k < job->pieceCount; k++) {
            PrefetchPiece* piece = &job->pieces[k];
            if (piece->state == kPieceWaiting && piece->runner == 0 && !piece->noGuess &&
                piece->start >= p->leadBlocks * kBlockSize) {
                piece->state = kPieceLeading;
                piece->runner = w->number;
                piece->guessed = true;
                piece->proven = false;
                job->runners++;
                *claimed = job;
                *index = k;
                return true;
            }
        }
    }
    return false;
}

void RunFileJob(PrefetchWorker* w, PrefetchJob* job) {
    FolderPrefetch* p = w->prefetch;
    CabinetClient* client = &w->client;
    w->job = job;
    Lock(p->lock);
    job->runners++;
    Unlock(p->lock);
    const char* path = p->entries[job->first];
    int err = 0;
    int source =
        p->openSource(path, &job->date, &job->time, &job->attributes, &err, client->context);
    // Its size tells how many pieces; a source that cannot tell is one piece.
    uint32_t count = 1;
    bool small = false;
    if (source != -1) {
        long size = client->cb.seek(source, 0, kSeekEnd, &err, client->context);
        small = size >= 0 && size < long(kSmallFileBytes);
        if (client->cb.seek(source, 0, kSeekSet, &err, client->context) != 0) {
            client->cb.close(source, &err, client->context);
            source = p->openSource(path, &job->date, &job->time, &job->attributes, &err,
                                   client->context);
        } else if (size > 0 && static_cast<unsigned long>(size) <= kMaxFolderBytes) {
            count = static_cast<uint32_t>(size) / p->pieceBytes;
            count = count == 0 ? 1 : count;
        }
    }
    PrefetchPiece* pieces = nullptr;
    if (source != -1 && !small && AllocateNotes(client, job)) {
        pieces = static_cast<PrefetchPiece*>(CabAlloc(client, count * sizeof(PrefetchPiece)));
    }
    bool ready = pieces != nullptr && FolderRenewCompressor(client, &w->folder);
    Lock(p->lock);
    if (ready) {
        std::memset(pieces, 0, count * sizeof(PrefetchPiece));
        for (uint32_t k = 0; k < count; k++) {
            pieces[k].start = k * p->pieceBytes;
            SpillInit(&pieces[k].data);
        }
        pieces[0].runner = w->number;
        pieces[0].proven = true;
        pieces[0].state = kPieceRunning;
        job->pieces = pieces;
        job->pieceCount = count;
        WakeAll(p->lock); // the other pieces are there to be guessed at
    } else {
        CabRelease(client, pieces);
        // The writer meets whatever failed here itself, and compresses a small file
        // faster than a spill file for it is made, read back and removed.
        job->handedBack = true;
    }
    Unlock(p->lock);
    if (ready) {
        RunFrom(w, job, 0, source);
    }
    if (source != -1) {
        client->cb.close(source, &err, client->context);
    }
    Lock(p->lock);
    LeaveJob(w, job);
    Unlock(p->lock);
}

void RunGuess(PrefetchWorker* w, PrefetchJob* job, uint32_t k) {
    FolderPrefetch* p = w->prefetch;
    CabinetClient* client = &w->client;
    OpenFolder* f = &w->folder;
    PrefetchPiece* piece = &job->pieces[k];
    w->job = job;
    w->piece = piece;
    uint16_t date = 0, time = 0, attributes = 0;
    int err = 0;
    const uint32_t leadBytes = p->leadBlocks * kBlockSize;
    uint8_t* lead = static_cast<uint8_t*>(CabAlloc(client, leadBytes));
    if (w->lead == nullptr) {
        w->lead = static_cast<uint8_t*>(CabAlloc(client, kMaxLeadBytes));
    }
    int source = -1;
    bool ready = lead != nullptr && w->lead != nullptr;
    if (ready) {
        source =
            p->openSource(p->entries[job->first], &date, &time, &attributes, &err, client->context);
        const long from = static_cast<long>(piece->start - leadBytes);
        ready =
            source != -1 && client->cb.seek(source, from, kSeekSet, &err, client->context) == from;
    }
    // The lead: prime with its first block, warm up with the others.
    ready = ready && ReadFully(w, source, lead, leadBytes) == static_cast<int>(leadBytes) &&
            MsZipPrime(f->compressor, lead, kBlockSize) == MSZIP_OK;
    for (uint32_t b = 1; ready && b < p->leadBlocks; b++) {
        uint32_t size = 0;
        ready = MsZipCompress(f->compressor, lead + b * kBlockSize, kBlockSize, f->output,
                              f->maxOutput, &size) == MSZIP_OK;
    }
    Lock(p->lock);
    bool mine = StillMine(w) && piece->state == kPieceLeading;
    if (mine && ready) {
        piece->lead = lead;
        lead = nullptr;
        piece->state = kPieceRunning;
    } else if (mine) {
        piece->runner = 0;
        piece->guessed = false;
        piece->noGuess = true;
        piece->state = kPieceWaiting;
        WakeAll(p->lock);
    }
    Unlock(p->lock);
    CabRelease(client, lead);
    if (mine && ready) {
        RunFrom(w, job, k, source);
    }
    if (source != -1) {
        client->cb.close(source, &err, client->context);
    }
    Lock(p->lock);
    LeaveJob(w, job);
    Unlock(p->lock);
}

void ReleasePieces(CabinetClient* client, PrefetchJob* job) {
    for (uint32_t k = 0; k < job->pieceCount; k++) {
        SpillRemove(client, &job->pieces[k].data);
        CabRelease(client, job->pieces[k].blocks);
        CabRelease(client, job->pieces[k].lead);
    }
    CabRelease(client, job->pieces);
    job->pieces = nullptr;
    job->pieceCount = 0;
}

} // namespace velaset::compress

// The open folder's LZX stream: gathering segments, parsing them on workers, writing them
// out in order.
#include "compress/lzx_folder.h"

#include <cstring>

#include "compress/lzx_e8.h"
#include "compress/worker_thread.h"

namespace velaset::compress {

namespace {

enum JobState { kFree, kFilling, kReady, kParsing, kParsed };

struct Job {
    uint8_t* buffer;  // the history, then the segment's bytes
    uint32_t history; // bytes of history at the buffer's start
    uint32_t size;    // the segment's bytes so far
    JobState state;   // changed under the lock when there are workers
    uint64_t number;  // the job's place in the stream
    LzxSegment segment;
};

} // namespace

struct LzxFolder {
    LzxSettings settings;
    Job* jobs;
    uint32_t ring;
    uint64_t filling;     // number of the job being filled; job n lives in slot n % ring
    uint64_t written;     // jobs written out, in order
    uint64_t folderStart; // number of the folder's first job
    uint32_t frames;      // frames of the folder so far
    LzxStream stream;
    uint8_t* frameBuffer;
    LzxParser* own; // the caller's, when there are no workers
    WorkerLock* lock;
    WorkerThread* threads[kMaxLzxThreads];
    LzxParser* parsers[kMaxLzxThreads];
    unsigned threadCount;
    unsigned workersNumbered;
    bool stopping;
};

namespace {

Job& Slot(LzxFolder* f, uint64_t n) {
    return f->jobs[n % f->ring];
}

void RunWorker(void* argument) {
    LzxFolder* f = static_cast<LzxFolder*>(argument);
    Lock(f->lock);
    LzxParser* parser = f->parsers[f->workersNumbered++];
    for (;;) {
        // The oldest job waiting, so that the writer can go on soonest.
        Job* job = nullptr;
        for (uint32_t i = 0; i < f->ring; i++) {
            Job& candidate = f->jobs[i];
            if (candidate.state == kReady && (job == nullptr || candidate.number < job->number))
                job = &candidate;
        }
        if (job == nullptr) {
            if (f->stopping)
                break;
            Wait(f->lock);
            continue;
        }
        job->state = kParsing;
        Unlock(f->lock);
        LzxParseSegment(parser, job->buffer, job->history, job->size, &job->segment);
        Lock(f->lock);
        job->state = kParsed;
        WakeAll(f->lock);
    }
    Unlock(f->lock);
}

void SetState(LzxFolder* f, Job& job, JobState state) {
    if (f->lock == nullptr) {
        job.state = state;
        return;
    }
    Lock(f->lock);
    job.state = state;
    WakeAll(f->lock);
    Unlock(f->lock);
}

void StartFolderStream(LzxFolder* f) {
    LzxStreamStart(&f->stream, f->frameBuffer, f->settings.parser.windowBits,
                   f->settings.translationSize);
    f->frames = 0;
    f->folderStart = f->filling;
}

// Writes out the parsed jobs at the front, in order; with wait, waits for each job up to
// `until` (exclusive) to be parsed.
bool WriteParsed(CabinetClient* client, LzxFolder* f, uint64_t until, bool wait,
                 LzxFrameSink sink, void* context) {
    while (f->written < until) {
        Job& job = Slot(f, f->written);
        if (f->lock != nullptr) {
            Lock(f->lock);
            while (wait && job.state != kParsed)
                Wait(f->lock);
            bool parsed = job.state == kParsed;
            Unlock(f->lock);
            if (!parsed)
                return true;
        }
        if (!LzxStreamWrite(&f->stream, job.segment, sink, context)) {
            if (!client->err->failed)
                CabFail(client, kCabCompressionFailed, 0);
            return false;
        }
        SetState(f, job, kFree);
        f->written++;
    }
    return true;
}

// The filled job goes to a worker, or is parsed here.
void Submit(LzxFolder* f, Job& job) {
    if (f->lock == nullptr) {
        LzxParseSegment(f->own, job.buffer, job.history, job.size, &job.segment);
        job.state = kParsed;
        return;
    }
    SetState(f, job, kReady);
}

// Makes the next job ready to fill: its slot written out, its history copied from the
// end of the job before it (none at a folder's start).
bool BeginJob(CabinetClient* client, LzxFolder* f, LzxFrameSink sink, void* context) {
    uint64_t until = f->filling + 1 >= f->ring ? f->filling + 1 - f->ring : 0;
    if (!WriteParsed(client, f, until, true, sink, context))
        return false;
    Job& job = Slot(f, f->filling);
    job.history = 0;
    job.size = 0;
    job.number = f->filling;
    SetState(f, job, kFilling);
    if (f->filling > f->folderStart) {
        const Job& before = Slot(f, f->filling - 1);
        uint32_t available = before.history + before.size;
        uint32_t keep = f->settings.parser.historyBytes;
        if (keep > available)
            keep = available;
        std::memcpy(job.buffer, before.buffer + available - keep, keep);
        job.history = keep;
    }
    return true;
}

} // namespace

LzxFolder* LzxFolderCreate(CabinetClient* client, const LzxSettings& settings,
                           unsigned threads) {
    LzxFolder* f = static_cast<LzxFolder*>(CabAlloc(client, sizeof(LzxFolder)));
    if (f == nullptr)
        return nullptr;
    std::memset(f, 0, sizeof *f);
    f->settings = settings;
    if (threads > kMaxLzxThreads)
        threads = kMaxLzxThreads;
    unsigned workers = threads > 1 ? threads : 0;
    f->ring = workers + 2;
    const uint32_t segment = settings.parser.segmentBytes;
    bool ok = true;
    f->frameBuffer = static_cast<uint8_t*>(CabAlloc(client, kLzxFrameBufferSize));
    f->jobs = static_cast<Job*>(CabAlloc(client, f->ring * sizeof(Job)));
    ok = f->frameBuffer != nullptr && f->jobs != nullptr;
    if (f->jobs != nullptr)
        std::memset(f->jobs, 0, f->ring * sizeof(Job));
    for (uint32_t i = 0; ok && i < f->ring; i++) {
        Job& job = f->jobs[i];
        job.segment.blockCapacity = LzxBlockCapacity(segment);
        job.segment.matchCapacity = LzxMatchCapacity(segment);
        job.buffer = static_cast<uint8_t*>(
            CabAlloc(client, settings.parser.historyBytes + segment));
        job.segment.blocks = static_cast<LzxBlock*>(
            CabAlloc(client, job.segment.blockCapacity * sizeof(LzxBlock)));
        job.segment.matches = static_cast<LzxMatch*>(
            CabAlloc(client, job.segment.matchCapacity * sizeof(LzxMatch)));
        ok = job.buffer && job.segment.blocks && job.segment.matches;
    }
    const uint32_t parsers = workers > 0 ? workers : 1;
    for (uint32_t i = 0; ok && i < parsers; i++) {
        f->parsers[i] = LzxParserCreate(settings.parser, client->cb.alloc, client->cb.release);
        ok = f->parsers[i] != nullptr;
        if (!ok)
            CabFail(client, kCabOutOfMemory, 0);
    }
    if (ok && workers > 0) {
        f->lock = CreateWorkerLock();
        for (unsigned t = 0; f->lock != nullptr && t < workers; t++) {
            WorkerThread* thread = StartWorker(RunWorker, f);
            if (thread == nullptr)
                break;
            f->threads[f->threadCount++] = thread;
        }
        // Without workers the caller parses everything itself with the first parser.
        if (f->threadCount == 0 && f->lock != nullptr) {
            DestroyWorkerLock(f->lock);
            f->lock = nullptr;
        }
        // Fewer workers than parsers: the workers number themselves from 0 up.
    }
    if (!ok) {
        LzxFolderDestroy(client, f);
        return nullptr;
    }
    f->own = f->parsers[0];
    StartFolderStream(f);
    return f;
}

void LzxFolderDestroy(CabinetClient* client, LzxFolder* f) {
    if (f == nullptr)
        return;
    if (f->lock != nullptr) {
        Lock(f->lock);
        f->stopping = true;
        WakeAll(f->lock);
        Unlock(f->lock);
        for (unsigned i = 0; i < f->threadCount; i++)
            JoinWorker(f->threads[i]);
        DestroyWorkerLock(f->lock);
    }
    for (unsigned i = 0; i < kMaxLzxThreads; i++)
        LzxParserDestroy(f->parsers[i]);
    if (f->jobs != nullptr) {
        for (uint32_t i = 0; i < f->ring; i++) {
            CabRelease(client, f->jobs[i].buffer);
            CabRelease(client, f->jobs[i].segment.blocks);
            CabRelease(client, f->jobs[i].segment.matches);
        }
    }
    CabRelease(client, f->jobs);
    CabRelease(client, f->frameBuffer);
    CabRelease(client, f);
}

bool LzxFolderAdd(CabinetClient* client, LzxFolder* f, const uint8_t* bytes, uint32_t size,
                  LzxFrameSink sink, void* context) {
    Job* job = &Slot(f, f->filling);
    if (job->state != kFilling) {
        if (!BeginJob(client, f, sink, context))
            return false;
        job = &Slot(f, f->filling);
    }
    uint8_t* frame = job->buffer + job->history + job->size;
    std::memcpy(frame, bytes, size);
    if (f->settings.translationSize != 0)
        LzxTranslateFrame(frame, size, f->frames, f->settings.translationSize);
    f->frames++;
    job->size += size;
    if (job->size == f->settings.parser.segmentBytes || size < kLzxFrameSize) {
        Submit(f, *job);
        f->filling++;
    }
    return WriteParsed(client, f, f->filling, false, sink, context);
}

bool LzxFolderFinish(CabinetClient* client, LzxFolder* f, LzxFrameSink sink, void* context) {
    Job& job = Slot(f, f->filling);
    if (job.state == kFilling && job.size > 0) {
        Submit(f, job);
        f->filling++;
    } else if (job.state == kFilling) {
        SetState(f, job, kFree);
    }
    if (!WriteParsed(client, f, f->filling, true, sink, context))
        return false;
    StartFolderStream(f);
    return true;
}

} // namespace velaset::compress

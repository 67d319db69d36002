// Threads for compressing folders ahead, with one lock and one condition to wait on.
#ifndef VELASET_COMPRESS_WORKER_THREAD_H
#define VELASET_COMPRESS_WORKER_THREAD_H

namespace velaset::compress {

struct WorkerThread;
struct WorkerLock;

typedef void (*WorkerMain)(void* argument);

// Null when the thread cannot be started.
WorkerThread* StartWorker(WorkerMain main, void* argument);
void JoinWorker(WorkerThread* thread);

WorkerLock* CreateWorkerLock();
void DestroyWorkerLock(WorkerLock* lock);
void Lock(WorkerLock* lock);
void Unlock(WorkerLock* lock);
// Releases the lock while waiting for WakeAll, then takes it again.
void Wait(WorkerLock* lock);
void WakeAll(WorkerLock* lock);

unsigned ProcessorCount();

} // namespace velaset::compress

#endif

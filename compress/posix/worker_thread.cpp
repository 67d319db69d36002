// Worker threads of the native build: POSIX threads.
#include <cstdlib>
#include <pthread.h>
#include <unistd.h>

#include "compress/worker_thread.h"

namespace velaset::compress {

struct WorkerThread {
    pthread_t thread;
    WorkerMain main;
    void* argument;
};

struct WorkerLock {
    pthread_mutex_t mutex;
    pthread_cond_t changed;
};

namespace {

void* Run(void* raw) {
    WorkerThread* thread = static_cast<WorkerThread*>(raw);
    thread->main(thread->argument);
    return nullptr;
}

} // namespace

WorkerThread* StartWorker(WorkerMain main, void* argument) {
    WorkerThread* thread = static_cast<WorkerThread*>(std::malloc(sizeof(WorkerThread)));
    if (thread == nullptr) {
        return nullptr;
    }
    thread->main = main;
    thread->argument = argument;
    if (pthread_create(&thread->thread, nullptr, Run, thread) != 0) {
        std::free(thread);
        return nullptr;
    }
    return thread;
}

void JoinWorker(WorkerThread* thread) {
    pthread_join(thread->thread, nullptr);
    std::free(thread);
}

WorkerLock* CreateWorkerLock() {
    WorkerLock* lock = static_cast<WorkerLock*>(std::malloc(sizeof(WorkerLock)));
    if (lock == nullptr) {
        return nullptr;
    }
    pthread_mutex_init(&lock->mutex, nullptr);
    pthread_cond_init(&lock->changed, nullptr);
    return lock;
}

void DestroyWorkerLock(WorkerLock* lock) {
    pthread_cond_destroy(&lock->changed);
    pthread_mutex_destroy(&lock->mutex);
    std::free(lock);
}

void Lock(WorkerLock* lock) {
    pthread_mutex_lock(&lock->mutex);
}
void Unlock(WorkerLock* lock) {
    pthread_mutex_unlock(&lock->mutex);
}
void Wait(WorkerLock* lock) {
    pthread_cond_wait(&lock->changed, &lock->mutex);
}
void WakeAll(WorkerLock* lock) {
    pthread_cond_broadcast(&lock->changed);
}

unsigned ProcessorCount() {
    long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<unsigned>(count) : 1;
}

} // namespace velaset::compress

// Worker threads of the Windows build: the C runtime's threads, a critical section and a
// condition variable.
#include <windows.h>

#include <cstdlib>
#include <process.h>

#include "compress/worker_thread.h"

namespace velaset::compress {

struct WorkerThread {
    HANDLE handle;
    WorkerMain main;
    void* argument;
};

struct WorkerLock {
    CRITICAL_SECTION section;
    CONDITION_VARIABLE changed;
};

namespace {

unsigned __stdcall Run(void* raw) {
    WorkerThread* thread = static_cast<WorkerThread*>(raw);
    thread->main(thread->argument);
    return 0;
}

} // namespace

WorkerThread* StartWorker(WorkerMain main, void* argument) {
    WorkerThread* thread = static_cast<WorkerThread*>(std::malloc(sizeof(WorkerThread)));
    if (thread == nullptr) {
        return nullptr;
    }
    thread->main = main;
    thread->argument = argument;
    uintptr_t handle = _beginthreadex(nullptr, 0, Run, thread, 0, nullptr);
    if (handle == 0) {
        std::free(thread);
        return nullptr;
    }
    thread->handle = reinterpret_cast<HANDLE>(handle);
    return thread;
}

void JoinWorker(WorkerThread* thread) {
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    std::free(thread);
}

WorkerLock* CreateWorkerLock() {
    WorkerLock* lock = static_cast<WorkerLock*>(std::malloc(sizeof(WorkerLock)));
    if (lock == nullptr) {
        return nullptr;
    }
    InitializeCriticalSection(&lock->section);
    InitializeConditionVariable(&lock->changed);
    return lock;
}

void DestroyWorkerLock(WorkerLock* lock) {
    DeleteCriticalSection(&lock->section);
    std::free(lock);
}

void Lock(WorkerLock* lock) {
    EnterCriticalSection(&lock->section);
}
void Unlock(WorkerLock* lock) {
    LeaveCriticalSection(&lock->section);
}
void Wait(WorkerLock* lock) {
    SleepConditionVariableCS(&lock->changed, &lock->section, INFINITE);
}
void WakeAll(WorkerLock* lock) {
    WakeAllConditionVariable(&lock->changed);
}

unsigned ProcessorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

} // namespace velaset::compress

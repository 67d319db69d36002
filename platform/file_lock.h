// Locks that make the programs working on one file take turns: a lock of the system
// (flock on POSIX, LockFileEx on Windows) on a lock file of its own. The system lets go
// of a lock when its holder ends, however it ends, so a run that crashed or was killed
// leaves no lock behind; the lock file itself, empty, stays where it was made.
#ifndef VELASET_PLATFORM_FILE_LOCK_H
#define VELASET_PLATFORM_FILE_LOCK_H

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

enum class LockMode {
    Shared,    // readers: any number at once, none while a writer holds the lock
    Exclusive, // a writer: alone
};

enum class LockOutcome {
    Locked, // the lock is held until Release or the end of the object
    Busy,   // another holder kept it for the whole wait
    Failed, // the lock file could not be opened or made
};

class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens lockPath, making it when absent (a shared lock makes do with reading an
    // existing one), and takes the lock, trying again for up to waitMilliseconds while
    // another holder has it. *failure tells what failed for Busy and Failed.
    LockOutcome Acquire(const std::string& lockPath, LockMode mode, int waitMilliseconds,
                        Status* failure);

    bool Held() const { return handle_ != kNone; }
    void Release();

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone; // the descriptor or handle of the open lock file
};

} // namespace platform

#endif

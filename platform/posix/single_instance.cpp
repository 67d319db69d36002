// POSIX: one running copy through a lock on a file in the temporary folder.
#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/folders.h"

namespace platform {

bool ClaimSingleInstance(const std::string& name) {
    std::string lockPath = TempFolder() + "/" + name + ".lock";
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0)
        return true; // no way to tell: do not keep the program from starting
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    return true; // the descriptor stays open, and the lock held, until the process ends
}

WaitCursor::WaitCursor() : previous_(nullptr) {}
WaitCursor::~WaitCursor() {}

} // namespace platform

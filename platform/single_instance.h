// One running copy of a program; the hourglass pointer during long work.
#ifndef VELASET_PLATFORM_SINGLE_INSTANCE_H
#define VELASET_PLATFORM_SINGLE_INSTANCE_H

#include <string>

namespace platform {

// Claims the name for this process until it ends. False when another running
// process holds it already.
bool ClaimSingleInstance(const std::string& name);

// Shows the wait (hourglass) pointer while the object lives (nothing on POSIX).
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    void* previous_; // the pointer shown before, restored at the end
};

} // namespace platform

#endif

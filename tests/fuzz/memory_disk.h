// An in-memory disk behind the cabinet writer's client callbacks, for the cabinet fuzz
// targets: source files, spill files and cabinets live in maps, every call is counted,
// and any one call can be made to fail, so that each failure path runs.
#ifndef VELASET_TESTS_FUZZ_MEMORY_DISK_H
#define VELASET_TESTS_FUZZ_MEMORY_DISK_H

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "compress/cabinet_types.h"

namespace fuzz {

struct SourceFile {
    std::vector<uint8_t> data;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attributes = 0;
};

class MemoryDisk {
  public:
    // The callbacks reach the disk that is current; one disk is current at a time.
    MemoryDisk();
    ~MemoryDisk();

    velaset::compress::CabinetCallbacks Callbacks() const;

    std::map<std::string, SourceFile> sources; // what ClientOpenSource can open
    std::map<std::string, std::vector<uint8_t>> files; // everything the writer made

    // Call number failAt (counting every callback from 1) fails; 0 fails none.
    uint64_t failAt = 0;
    uint64_t calls = 0;
    // What kind of call was made to fail ("open", "write", ...), empty when none.
    std::string failedKind;

    // Misuse of the callbacks seen so far (a handle used after its close, a file
    // deleted while open...), empty when none.
    std::string misuse;

    // Handles still open and memory blocks not yet released.
    size_t OpenHandles() const;
    long liveAllocations = 0;

    // Internals of the callbacks.
    struct Handle {
        std::string name; // a file of `files`, or a source
        bool source = false;
        bool open = false;
        size_t position = 0;
    };
    std::mutex lock;
    std::vector<Handle> handles;
    int nextTemp = 0;
    bool ShouldFail(const char* kind);
    Handle* Find(int handle);
    std::vector<uint8_t>& Data(const Handle& h);
};

} // namespace fuzz

#endif

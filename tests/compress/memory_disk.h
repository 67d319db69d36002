// An in-memory disk behind the cabinet writer's client callbacks: source files, spill
// files and cabinets live in maps, every call is counted, and any call can be made to
// fail (once, or from then on), so that each failure path runs.
#ifndef VELASET_TESTS_COMPRESS_MEMORY_DISK_H
#define VELASET_TESTS_COMPRESS_MEMORY_DISK_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "compress/cabinet_types.h"
#include "compress/worker_thread.h"

namespace cabinet_test {

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

    std::map<std::string, SourceFile> sources;         // what ClientOpenSource can open
    std::map<std::string, std::vector<uint8_t>> files; // everything the writer made

    // Call number failAt fails (0: none), or every call from then on when persistent.
    // With failKind empty the count takes every file and memory call from 1; else only
    // the calls of that kind ("alloc", "open", ..., "next cabinet", "progress", "placed").
    uint64_t failAt = 0;
    std::string failKind;
    bool persistent = false;
    uint64_t calls = 0;
    std::map<std::string, uint64_t> callsOf; // by kind, every call counted
    // What kind of call was made to fail first, empty when none.
    std::string failedKind;
    // Each failed call: its kind and the file it concerned ("" for none).
    std::vector<std::pair<std::string, std::string>> failures;

    // Cabinets named by the library's own rule (base name and number), else "cab" + n.
    bool libraryNames = false;

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
    velaset::compress::WorkerLock* lock;
    std::vector<Handle> handles;
    int nextTemp = 0;
    bool ShouldFail(const char* kind, const std::string& file = "");
    Handle* Find(int handle);
    std::vector<uint8_t>& Data(const Handle& h);
};

} // namespace cabinet_test

#endif

// The in-memory disk of the cabinet fuzz targets.
#include "tests/fuzz/memory_disk.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace velaset::compress;

namespace fuzz {
namespace {

MemoryDisk* current = nullptr;

// The C runtime's seek origins.
const int kSeekSet = 0, kSeekCurrent = 1, kSeekEnd = 2;

void* Alloc(uint32_t size) {
    std::lock_guard<std::mutex> hold(current->lock);
    if (current->ShouldFail("alloc"))
        return nullptr;
    ++current->liveAllocations;
    return std::malloc(size == 0 ? 1 : size);
}

void Release(void* memory) {
    std::lock_guard<std::mutex> hold(current->lock);
    --current->liveAllocations;
    std::free(memory);
}

int Open(const char* path, int flags, int, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    if (current->ShouldFail("open")) {
        *err = EIO;
        return -1;
    }
    auto found = current->files.find(path);
    bool exists = found != current->files.end();
    if (exists && (flags & kOpenCreate) && (flags & kOpenExclusive)) {
        *err = EEXIST;
        return -1;
    }
    if (!exists && !(flags & kOpenCreate)) {
        *err = ENOENT;
        return -1;
    }
    for (const auto& h : current->handles)
        if (h.open && !h.source && h.name == path)
            current->misuse = std::string("opened twice: ") + path;
    if (!exists || (flags & kOpenTruncate))
        current->files[path].clear();
    MemoryDisk::Handle h;
    h.name = path;
    h.open = true;
    current->handles.push_back(h);
    return static_cast<int>(current->handles.size() - 1);
}

int Read(int handle, void* buffer, uint32_t count, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || current->ShouldFail("read")) {
        *err = EIO;
        return -1;
    }
    std::vector<uint8_t>& data = current->Data(*h);
    size_t n = h->position >= data.size() ? 0 : std::min<size_t>(count, data.size() - h->position);
    if (n > 0)
        std::memcpy(buffer, data.data() + h->position, n);
    h->position += n;
    if (n != count)
        *err = 0;
    return static_cast<int>(n);
}

int Write(int handle, const void* buffer, uint32_t count, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || h->source || current->ShouldFail("write")) {
        *err = ENOSPC;
        return count > 0 ? static_cast<int>(count / 2) : -1;
    }
    std::vector<uint8_t>& data = current->Data(*h);
    if (data.size() < h->position + count)
        data.resize(h->position + count);
    if (count > 0)
        std::memcpy(data.data() + h->position, buffer, count);
    h->position += count;
    return static_cast<int>(count);
}

int Close(int handle, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr) {
        *err = EBADF;
        return -1;
    }
    h->open = false; // a failed close still releases the handle, as the C runtime does
    if (current->ShouldFail("close")) {
        *err = EIO;
        return -1;
    }
    return 0;
}

long Seek(int handle, long distance, int origin, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || current->ShouldFail("seek")) {
        *err = EIO;
        return -1;
    }
    long base = origin == kSeekSet ? 0
                : origin == kSeekCurrent ? static_cast<long>(h->position)
                : origin == kSeekEnd     ? static_cast<long>(current->Data(*h).size())
                                         : -1;
    if (base < 0 || base + distance < 0) {
        *err = EINVAL;
        return -1;
    }
    h->position = static_cast<size_t>(base + distance);
    return static_cast<long>(h->position);
}

int Delete(const char* path, int* err, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    for (const auto& h : current->handles)
        if (h.open && !h.source && h.name == path) {
            current->misuse = std::string("deleted while open: ") + path;
            *err = EACCES;
            return -1;
        }
    if (current->ShouldFail("delete")) {
        *err = EIO;
        return -1;
    }
    if (current->files.erase(path) == 0) {
        *err = ENOENT;
        return -1;
    }
    return 0;
}

bool TempName(char* buffer, int size, void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    if (current->ShouldFail("tempname"))
        return false;
    std::string name = "spill-" + std::to_string(++current->nextTemp);
    if (static_cast<int>(name.size()) >= size)
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

int OpenSource(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes, int* err,
               void*) {
    std::lock_guard<std::mutex> hold(current->lock);
    auto found = current->sources.find(path);
    if (found == current->sources.end() || current->ShouldFail("opensource")) {
        *err = ENOENT;
        return -1;
    }
    *date = found->second.date;
    *time = found->second.time;
    *attributes = found->second.attributes;
    MemoryDisk::Handle h;
    h.name = path;
    h.source = true;
    h.open = true;
    current->handles.push_back(h);
    return static_cast<int>(current->handles.size() - 1);
}

int FilePlaced(CabinetParams*, const char*, uint32_t, bool, void*) { return 0; }

int NextCabinet(CabinetParams* next, uint32_t, void*) {
    // The naming of the test: cabinet n is "cab" + n.
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "cab%d", next->cabinetNumber);
    std::snprintf(next->diskName, sizeof next->diskName, "disk%d", next->cabinetNumber);
    return 0;
}

long Progress(unsigned, uint32_t, uint32_t, void*) { return 0; }

} // namespace

MemoryDisk::MemoryDisk() { current = this; }
MemoryDisk::~MemoryDisk() { current = nullptr; }

CabinetCallbacks MemoryDisk::Callbacks() const {
    CabinetCallbacks cb;
    cb.filePlaced = FilePlaced;
    cb.alloc = Alloc;
    cb.release = Release;
    cb.open = Open;
    cb.read = Read;
    cb.write = Write;
    cb.close = Close;
    cb.seek = Seek;
    cb.remove = Delete;
    cb.tempName = TempName;
    cb.openSource = OpenSource;
    cb.nextCabinet = NextCabinet;
    cb.progress = Progress;
    return cb;
}

bool MemoryDisk::ShouldFail(const char* kind) {
    if (++calls != failAt)
        return false;
    failedKind = kind;
    return true;
}

MemoryDisk::Handle* MemoryDisk::Find(int handle) {
    if (handle < 0 || static_cast<size_t>(handle) >= handles.size() || !handles[handle].open) {
        misuse = "use of a handle that is not open: " + std::to_string(handle);
        return nullptr;
    }
    return &handles[handle];
}

std::vector<uint8_t>& MemoryDisk::Data(const Handle& h) {
    return h.source ? sources[h.name].data : files[h.name];
}

size_t MemoryDisk::OpenHandles() const {
    size_t n = 0;
    for (const auto& h : handles)
        n += h.open ? 1 : 0;
    return n;
}

} // namespace fuzz

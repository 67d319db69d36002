// The in-memory disk of the cabinet tests and fuzz targets.
#include "tests/compress/memory_disk.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compress/client.h"

using namespace velaset::compress;

namespace cabinet_test {
namespace {

MemoryDisk* current = nullptr;

// Holds the current disk's lock: the writer's workers call in from several threads.
struct Hold {
    Hold() { Lock(current->lock); }
    ~Hold() { Unlock(current->lock); }
};

// The C runtime's seek origins.
const int kSeekSet = 0, kSeekCurrent = 1, kSeekEnd = 2;

void* Alloc(uint32_t size) {
    Hold hold;
    if (current->ShouldFail("alloc"))
        return nullptr;
    ++current->liveAllocations;
    return std::malloc(size == 0 ? 1 : size);
}

void Release(void* memory) {
    Hold hold;
    --current->liveAllocations;
    std::free(memory);
}

int Open(const char* path, int flags, int, int* err, void*) {
    Hold hold;
    if (current->ShouldFail("open", path)) {
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
    Hold hold;
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || current->ShouldFail("read", h->name)) {
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
    Hold hold;
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || h->source || current->ShouldFail("write", h->name)) {
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
    Hold hold;
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr) {
        *err = EBADF;
        return -1;
    }
    h->open = false; // a failed close still releases the handle, as the C runtime does
    if (current->ShouldFail("close", h->name)) {
        *err = EIO;
        return -1;
    }
    return 0;
}

long Seek(int handle, long distance, int origin, int* err, void*) {
    Hold hold;
    MemoryDisk::Handle* h = current->Find(handle);
    if (h == nullptr || current->ShouldFail("seek", h->name)) {
        *err = EIO;
        return -1;
    }
    long base = origin == kSeekSet       ? 0
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
    Hold hold;
    for (const auto& h : current->handles)
        if (h.open && !h.source && h.name == path) {
            current->misuse = std::string("deleted while open: ") + path;
            *err = EACCES;
            return -1;
        }
    // A failing delete still does the work, as a system that reports an error after the
    // fact would; what matters is that the writer reports it.
    bool erased = current->files.erase(path) != 0;
    if (current->ShouldFail("delete", path) || !erased) {
        *err = erased ? EIO : ENOENT;
        return -1;
    }
    return 0;
}

bool TempName(char* buffer, int size, void*) {
    Hold hold;
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
    Hold hold;
    auto found = current->sources.find(path);
    if (found == current->sources.end() || current->ShouldFail("opensource", path)) {
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

int FilePlaced(CabinetParams*, const char*, uint32_t, bool, void*) {
    Hold hold;
    return current->ShouldFail("placed") ? -1 : 0;
}

int NextCabinet(CabinetParams* next, uint32_t estimate, void* context) {
    Hold hold;
    if (current->ShouldFail("next cabinet"))
        return -1;
    if (current->libraryNames)
        return PlatformCallbacks().nextCabinet(next, estimate, context);
    // The naming of the fuzz targets: cabinet n is "cab" + n.
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "cab%d", next->cabinetNumber);
    std::snprintf(next->diskName, sizeof next->diskName, "disk%d", next->cabinetNumber);
    return 0;
}

long Progress(unsigned, uint32_t, uint32_t, void*) {
    Hold hold;
    return current->ShouldFail("progress") ? -1 : 0;
}

} // namespace

MemoryDisk::MemoryDisk() : lock(CreateWorkerLock()) {
    current = this;
}
MemoryDisk::~MemoryDisk() {
    current = nullptr;
    DestroyWorkerLock(lock);
}

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

bool MemoryDisk::ShouldFail(const char* kind, const std::string& file) {
    uint64_t ofKind = ++callsOf[kind];
    // The client's own decisions count only when they are the kind to fail.
    bool decision = std::strcmp(kind, "placed") == 0 || std::strcmp(kind, "next cabinet") == 0 ||
                    std::strcmp(kind, "progress") == 0;
    uint64_t n = failKind.empty() ? (decision ? 0 : ++calls) : failKind == kind ? ofKind : 0;
    if (n == 0 || failAt == 0 || (persistent ? n < failAt : n != failAt))
        return false;
    if (failedKind.empty())
        failedKind = kind;
    failures.push_back({kind, file});
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

} // namespace cabinet_test

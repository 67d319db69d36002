// Records and client callbacks shared by the cabinet writer and its clients.
#ifndef VELASET_COMPRESS_CABINET_TYPES_H
#define VELASET_COMPRESS_CABINET_TYPES_H

#include <cstdint>

namespace velaset::compress {

// Error codes of the writer; their texts are in error_text.h.
enum CabErrorCode {
    kCabNoError = 0,
    kCabOpenSourceFailed = 1,
    kCabReadSourceFailed = 2,
    kCabOutOfMemory = 3,
    kCabTempFileFailed = 4,
    kCabUnknownCompression = 5,
    kCabCabinetFileFailed = 6,
    kCabUserAbort = 7,
    kCabCompressionFailed = 8,
    // A count, offset or size beyond what the cabinet format can hold.
    kCabFormatLimit = 9,
};

// Filled by every failing operation of the writer.
struct CabError {
    int code;   // CabErrorCode
    int detail; // the C runtime error number reported by the failing callback, else 0
    int failed; // 1 once any error was reported
};

// Parameters of one cabinet of a set.
struct CabinetParams {
    uint32_t sizeLimit;       // largest cabinet file in bytes; 0 is taken as 0x7FFFFFF
    uint32_t folderThreshold; // the open folder is closed once its compressed data exceeds this
    int cabinetNumber;        // 1 for the first cabinet
    int diskNumber;           // a next cabinet on the same disk inherits the remaining limit
    uint16_t setId;           // written into every header of the set
    char diskName[256];       // written into the neighbouring cabinets' headers
    char cabinetName[256];    // file name of the cabinet
    char cabinetPath[256];    // prefix of the file path; path + name is created
};

// Compression types of a folder.
const uint16_t kCompressionNone = 0x0000;
const uint16_t kCompressionMsZip = 0x0001;

// Open flags and permission bits in the C runtime's values, whatever the platform.
const int kOpenReadOnly = 0x0000;
const int kOpenReadWrite = 0x0002;
const int kOpenCreate = 0x0100;
const int kOpenTruncate = 0x0200;
const int kOpenExclusive = 0x0400;
const int kOpenBinary = 0x8000;
const int kPermissionRead = 0x0100;
const int kPermissionWrite = 0x0080;

// Progress kinds.
const unsigned kProgressBlockSpilled = 0;
const unsigned kProgressCopying = 1;
const unsigned kProgressCabinetDone = 2;

// Client callbacks. Every callback but the allocator and the releaser receives, last, the
// context value given to FCICreate; err is where a failing callback stores its detail.
typedef void* (*ClientAllocFn)(uint32_t size);
typedef void (*ClientFreeFn)(void* memory);
typedef int (*ClientOpenFn)(const char* path, int flags, int permission, int* err, void* context);
typedef int (*ClientReadFn)(int handle, void* buffer, uint32_t count, int* err, void* context);
typedef int (*ClientWriteFn)(int handle, const void* buffer, uint32_t count, int* err,
                             void* context);
typedef int (*ClientCloseFn)(int handle, int* err, void* context);
typedef long (*ClientSeekFn)(int handle, long distance, int origin, int* err, void* context);
typedef int (*ClientDeleteFn)(const char* path, int* err, void* context);
typedef bool (*ClientTempNameFn)(char* buffer, int size, void* context);
typedef int (*ClientOpenSourceFn)(const char* path, uint16_t* date, uint16_t* time,
                                  uint16_t* attributes, int* err, void* context);
typedef int (*ClientFilePlacedFn)(CabinetParams* current, const char* name, uint32_t fileSize,
                                  bool continued, void* context);
typedef int (*ClientNextCabinetFn)(CabinetParams* next, uint32_t estimate, void* context);
typedef long (*ClientProgressFn)(unsigned kind, uint32_t value1, uint32_t value2, void* context);

#ifdef _WIN32
#define COMPRIMI_PROGRESS_CALL __stdcall
#else
#define COMPRIMI_PROGRESS_CALL
#endif

// The progress callback of a caller of Comprimi (ComprimiConAvanzamento in comprimi.h):
// the uncompressed bytes of a block, the caller's context; not 0 stops the call.
typedef int(COMPRIMI_PROGRESS_CALL* ComprimiProgressFn)(uint32_t bytes, void* context);

// The whole table, as a client hands it over.
struct CabinetCallbacks {
    ClientFilePlacedFn filePlaced;
    ClientAllocFn alloc;
    ClientFreeFn release;
    ClientOpenFn open;
    ClientReadFn read;
    ClientWriteFn write;
    ClientCloseFn close;
    ClientSeekFn seek;
    ClientDeleteFn remove;
    ClientTempNameFn tempName;
    ClientOpenSourceFn openSource;
    ClientNextCabinetFn nextCabinet;
    ClientProgressFn progress;
};

} // namespace velaset::compress

#endif

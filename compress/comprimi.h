// Comprimi, the one entry point of the Compress library: builds the cabinet set of one
// build from a "+"-separated file list.
#ifndef VELASET_COMPRESS_COMPRIMI_H
#define VELASET_COMPRESS_COMPRIMI_H

#include <cstdint>

#include "compress/cabinet_types.h"
#include "compress/folder_prefetch.h"
#include "compress/lzx_folder.h"

#ifdef _WIN32
#define COMPRIMI_CALL __stdcall
#else
#define COMPRIMI_CALL
#endif

// Writes cabDir + cabBase + ".CAB" (and base + n + ".CAB" for the further cabinets of a
// set) holding the files of fileList, one folder per "+"; a cabinet grows to at most
// maxCabSize bytes (0: 134217727). Answers 1 when the whole set was written, 0 after
// telling the user why not. A C export of Compress.dll, so outside any namespace.
extern "C" int COMPRIMI_CALL Comprimi(const char* cabDir, const char* cabBase, const char* fileList,
                                      uint32_t maxCabSize);

// Told, on the calling thread, the uncompressed bytes of every block compressed into the
// cabinet set, in list order (0 while a cabinet file is written from its parts), with the
// context value of the call. An answer other than 0 stops the call: it then removes what
// it wrote, shows no message and answers 0.
typedef velaset::compress::ComprimiProgressFn ComprimiAvanzamento;

// Comprimi with a progress callback (null: none, and the call is Comprimi). The second
// export of Compress.dll.
extern "C" int COMPRIMI_CALL ComprimiConAvanzamento(const char* cabDir, const char* cabBase,
                                                    const char* fileList, uint32_t maxCabSize,
                                                    ComprimiAvanzamento progress, void* context);

// The compression type of ComprimiConMetodo: MSZIP, or LZX with a window of 2^15 to 2^21
// bytes (the CFFOLDER typeCompress values 0x0F03 to 0x1503).
const uint32_t COMPRIMI_MSZIP = 0x0001;
const uint32_t COMPRIMI_LZX = 0x1503; // LZX with a 2 MB window

// ComprimiConAvanzamento with a compression type, where the list may also hold "|": a
// path ended by "|" shares its folder with the next one (Comprimi's "+" closes the folder
// after each). The third export of Compress.dll. A type it does not know fails with a
// message, as a bad list does.
extern "C" int COMPRIMI_CALL ComprimiConMetodo(const char* cabDir, const char* cabBase,
                                               const char* fileList, uint32_t maxCabSize,
                                               uint32_t metodo, ComprimiAvanzamento progress,
                                               void* context);

namespace velaset::compress {

// How a call compresses: the folders' type, whether the list may join paths with "|",
// and the LZX stream's settings.
struct CompressionChoice {
    uint16_t type;
    bool joined;
    LzxSettings lzx;
};
const CompressionChoice kComprimiChoice = {kCompressionMsZip, false, kDefaultLzx};

// The same with other callbacks (their context value is the call's ComprimiSettings) and
// a chosen number of compressing threads: 1 compresses everything on the caller's thread,
// more compress the following folders ahead on other threads, and the pieces of a large
// file side by side, and need callbacks that may be called from them.
int ComprimiWith(const char* cabDir, const char* cabBase, const char* fileList, uint32_t maxCabSize,
                 const CabinetCallbacks& callbacks, unsigned threads,
                 ComprimiAvanzamento progress = nullptr, void* progressContext = nullptr,
                 const PieceSettings& pieces = kDefaultPieces,
                 const CompressionChoice& choice = kComprimiChoice);

// ComprimiWith with the list already taken apart: source paths in list order, null where a
// folder closes (the "+" of the list), as ParseFileList gives them. For callers linked to
// the library, which have no text to join and split.
int ComprimiEntries(const char* cabDir, const char* cabBase, char* const* entries, uint32_t count,
                    uint32_t maxCabSize, const CabinetCallbacks& callbacks, unsigned threads,
                    ComprimiAvanzamento progress = nullptr, void* progressContext = nullptr,
                    const CompressionChoice& choice = kComprimiChoice);

// The threads Comprimi uses: one per processor, at most four, or as many as the
// environment variable VELASET_COMPRESS_THREADS says (1 to 4).
unsigned ComprimiThreads();

} // namespace velaset::compress

#endif

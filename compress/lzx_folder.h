// The LZX stream of the open folder: frames of the folder's bytes gathered into segments,
// the segments parsed (on worker threads when there are any, else on the caller's), and
// their blocks written in order as the CFDATA payloads of the folder. Each segment is
// parsed from its own bytes and the history before it alone (lzx_parser.h), so the
// payloads are the same whatever the number of threads; only when they are handed out
// differs, which is why nothing may be decided on how much has come out so far.
#ifndef VELASET_COMPRESS_LZX_FOLDER_H
#define VELASET_COMPRESS_LZX_FOLDER_H

#include <cstdint>

#include "compress/cabinet_client.h"
#include "compress/lzx_parser.h"
#include "compress/lzx_stream.h"

namespace velaset::compress {

struct LzxSettings {
    LzxParserSettings parser;
    // E8 translation size of every folder (0: no translation). Calls whose target lies
    // below it gain; a large one also turns text that follows a byte 0xE8 (an "è" of
    // Windows-1252) into numbers that repeat less.
    int32_t translationSize;
};

// A 2 MB window; segments of 4 MB whose matches may also reach 256 KB before them; blocks of
// up to four frames parsed once; three tree nodes visited per search, and matches of 24
// bytes taken as they are. Measured on programs and text beside the peers
// (bench/compare): more history, deeper searches, longer nice matches and second parses
// gain a few per cent of size and cost far more time.
const LzxSettings kDefaultLzx = {{21, 4 * 1024 * 1024, 256 * 1024, 4, 1, 3, 24},
                                 64 * 1024 * 1024};

// Most threads a stream parses on.
const unsigned kMaxLzxThreads = 4;

struct LzxFolder;

// The stream with `threads` workers (1: none, the caller parses); null after filling the
// error record (code 3) when memory is short.
LzxFolder* LzxFolderCreate(CabinetClient* client, const LzxSettings& settings,
                           unsigned threads);
// Ends the workers and releases everything.
void LzxFolderDestroy(CabinetClient* client, LzxFolder* folder);

// The next size bytes of the folder, a whole frame but for the folder's last; each payload
// finished meanwhile goes to sink, on this thread, in order. False when the sink refused
// (its failure is in the error record) or a payload went wrong (code 8).
bool LzxFolderAdd(CabinetClient* client, LzxFolder* folder, const uint8_t* bytes, uint32_t size,
                  LzxFrameSink sink, void* context);
// The folder is complete: every payload goes to sink; the next frame starts a new folder.
bool LzxFolderFinish(CabinetClient* client, LzxFolder* folder, LzxFrameSink sink,
                     void* context);

} // namespace velaset::compress

#endif

// Compressing the folders of a known file list ahead, on other threads. A folder hook of
// the writer: the writer takes the results in list order, so the cabinets are the same as
// with one thread.
#ifndef VELASET_COMPRESS_FOLDER_PREFETCH_H
#define VELASET_COMPRESS_FOLDER_PREFETCH_H

#include <cstdint>

#include "compress/cabinet_types.h"

namespace velaset::compress {

struct CabContext;

// How a large file is cut into pieces that several threads compress at once
// (prefetch_pieces.cpp).
struct PieceSettings {
    // Bytes of a piece, rounded down to whole blocks, at least four; 0: files are not cut.
    // Small enough to share a large file between the threads, large enough that the
    // guesses and their checks cost little.
    uint32_t bytes;
    // Blocks before a piece that a guess at its start is made from, 1 to 3: the first
    // primes the compressor, the others warm it up. With 1 a guess is hardly ever right,
    // with 3 nearly always.
    uint32_t leadBlocks;
};
const PieceSettings kDefaultPieces = {4 * 1024 * 1024, 3};

// Announces the calls that will follow on a fresh writer: entries are source paths in
// FCIAddFile order, null for each FCIFlushFolder. The entries must stay valid until
// FCIDestroy. Calls that do not match the plan are served on the caller's thread as
// usual; when threads cannot be started (or fewer than two are asked for), everything is.
// A folder of one file larger than a piece is cut into pieces that several threads
// compress at once, with the same bytes as one thread.
void StartFolderPrefetch(CabContext* cab, char* const* entries, uint32_t count,
                         ClientOpenSourceFn openSource, unsigned threads,
                         const PieceSettings& pieces = kDefaultPieces);

} // namespace velaset::compress

#endif

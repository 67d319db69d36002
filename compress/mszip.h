// MSZIP compressor: turns one block of at most 32768 bytes into "CK" followed by a
// complete deflate stream. A block that follows a full 32768-byte block of the same
// folder may refer back into it; MsZipReset starts a new folder without history.
//
// The compressor allocates all its memory in MsZipCreate and nothing afterwards.
// Results are plain numbers so that the cabinet writer can map any nonzero one to
// its own error code.
#ifndef VELASET_COMPRESS_MSZIP_H
#define VELASET_COMPRESS_MSZIP_H

#include <cstdint>

namespace velaset::compress {

struct MsZipCompressor;

// The cabinet writer passes its client's memory callbacks through these.
typedef void* (*MsZipAllocator)(uint32_t size);
typedef void (*MsZipReleaser)(void* memory);

constexpr int MSZIP_OK = 0;
constexpr int MSZIP_NO_MEMORY = 1; // MsZipCreate: the allocator refused
constexpr int MSZIP_BAD_CALL = 2;  // wrong tag, input larger than the block size, small output
constexpr int MSZIP_OVERFLOW = 4;  // the output did not fit into the given capacity

constexpr uint32_t MSZIP_MAX_BLOCK_SIZE = 32768;
// Room an output buffer needs beyond the block size: "CK" and stored-block headers.
constexpr uint32_t MSZIP_OUTPUT_SLACK = 12;

// blockSize: requested size in, size used out (0 or more than 32768 become 32768).
// On success *compressor is the new compressor and *maxOutputSize = block size + 12.
int MsZipCreate(uint32_t* blockSize, MsZipAllocator allocate, MsZipReleaser release,
                MsZipCompressor** compressor, uint32_t* maxOutputSize);

// Compresses inputSize bytes into output; *outputSize receives the bytes written.
// outputCapacity must be at least block size + 12.
int MsZipCompress(MsZipCompressor* compressor, const void* input, uint32_t inputSize, void* output,
                  uint32_t outputCapacity, uint32_t* outputSize);

// Forgets the history: the next block starts a new folder.
int MsZipReset(MsZipCompressor* compressor);

// Makes the compressor compress the next block as a new one would: no history, the
// window zeroed (bytes past a block's end take part in comparisons) and no position in
// the index (the chains and ranks left behind are reached from no head, and ranks are
// only ever compared with ranks of the same block). Clears 64 KB where a new compressor
// clears all of its 1.2 MB.
int MsZipRestart(MsZipCompressor* compressor);

// Starts a compressor in the middle of a folder: as if it had just compressed `previous`,
// a full block, after other blocks of the same folder, with every position of it in the
// hash chains that a block enters unless its last match runs into its last two bytes.
// Whether that is what the compressor that really compressed the folder holds, only
// MsZipSameHistory can tell; compressing one more block of the folder first makes it
// likely. size must be 32768 and the compressor's block size too.
int MsZipPrime(MsZipCompressor* compressor, const void* previous, uint32_t size);

// True when the next block compressed by a and the same block compressed by b come out
// the same, byte for byte, and leave the two as alike again: both hold the same window
// (a full block as history) and the same hash chains as that block will see them
// (everything the search can reach from them). False whenever either has no history.
bool MsZipSameHistory(const MsZipCompressor* a, const MsZipCompressor* b);

// Releases the compressor and all its memory through the releaser given at creation.
int MsZipDestroy(MsZipCompressor* compressor);

} // namespace velaset::compress

#endif

// The hash chains of the LZ77 stage: for each position of the window, the earlier
// positions whose three bytes have the same hash, newest first.
//
// Additions that serve speed only and change no output byte. Each position keeps several
// links in the three-byte chains, so that the search fetches eight candidates with one
// memory access. And two more indexes, over five and over eight bytes, let a search that
// already holds a match of four bytes (or of seven) visit only the candidates that agree
// in five (or eight); the rank of each position within its three-byte chain tells where
// the plain walk would have spent its budget, so all walks stop at the same candidate.
#ifndef VELASET_COMPRESS_MATCH_INDEX_H
#define VELASET_COMPRESS_MATCH_INDEX_H

#include <cstdint>

namespace velaset::compress {

constexpr uint32_t kHashSize = 32768;
constexpr int kChainLinks = 8;
constexpr uint32_t kMidKey = 5;  // bytes covered by the second index
constexpr uint32_t kLongKey = 8; // bytes covered by the third index

struct ChainLinks {
    uint16_t back[kChainLinks]; // back[0] is the previous position, back[1] the one before...
};

struct MatchIndex {
    uint16_t head[kHashSize];      // newest position per hash value, 0 for none
    ChainLinks chain[kHashSize];   // per position & 0x7FFF
    uint32_t hash;                 // running hash: the three bytes at the last position entered
    uint32_t rank[kHashSize];      // per position & 0x7FFF: entries of its hash up to it
    uint32_t hashCount[kHashSize]; // per hash value: entries so far
    // The indexes over five and eight bytes: a head per key, one link per position.
    uint16_t midHead[kHashSize];
    uint16_t midLink[kHashSize];
    uint16_t longHead[kHashSize];
    uint16_t longLink[kHashSize];
    // Positions 65532 and 65533 that entered the chains, bit i for 65532 + i: their five
    // bytes reach past the window, so they join the five-byte index with the next block.
    uint8_t lateMid;
    // Positions 65529 to 65535 that entered the chains, bit i for 65529 + i: their eight
    // bytes reach past the window, so they join the second index with the next block.
    uint8_t lateLong;
};

// Forgets every position (a block without history).
void IndexClear(MatchIndex& index);

// Moves the positions of the block just done down by 32768 for a block with history;
// those below 32768 are forgotten. window holds the new block already.
void IndexSlide(MatchIndex& index, const uint8_t* window);

// Hash of the two bytes at p, the start of the running hash.
inline void IndexStartHash(MatchIndex& index, const uint8_t* window, uint32_t p) {
    index.hash = ((window[p] << 5) ^ window[p + 1]) & (kHashSize - 1);
}

// Enters position p; answers the previous position with the same hash (0 for none).
uint32_t IndexInsert(MatchIndex& index, const uint8_t* window, uint32_t p);

// Enters positions 32768 to last of a block that stands in the window's upper half, in
// order, into an index without positions.
void IndexEnterBlock(MatchIndex& index, const uint8_t* window, uint32_t last);

// Whether two indexes over the same block (window's upper half) will be the same for the
// next block, once it has moved them down: every position, link and chain rank that the
// search can reach from then on. The block's positions entered by each are found from
// the heads: the newest is the head of its own chain. Positions of older blocks do not
// count: the move forgets them.
bool IndexSameForNextBlock(const MatchIndex& a, const MatchIndex& b, const uint8_t* window);

} // namespace velaset::compress

#endif

// The LZX parser's match finder: binary trees of the positions of a window, one tree per
// hash of four bytes, ordered by the bytes that follow each position; beside them the
// latest position of each hash of three bytes, for matches of three. A search from a
// position walks its tree, lists the matches of rising length it meets and makes the
// position the tree's new root. What a search finds depends only on the positions
// inserted since the last reset, never on earlier ones, so a segment parsed with a fresh
// finder after the same warm-up gives the same matches on any thread.
#ifndef VELASET_COMPRESS_LZX_MATCH_FINDER_H
#define VELASET_COMPRESS_LZX_MATCH_FINDER_H

#include <cstdint>

namespace velaset::compress {

constexpr int kLzxHashBits = 18;  // trees
constexpr int kLzxHash3Bits = 16; // latest positions of three bytes
constexpr uint32_t kLzxNoPosition = 0xFFFFFFFF;

// A match found: its length and offset (distance back).
struct LzxFound {
    uint32_t length;
    uint32_t offset;
};

struct LzxMatchFinder {
    uint32_t* heads;    // 2^kLzxHashBits roots
    uint32_t* heads3;   // 2^kLzxHash3Bits latest positions
    uint32_t* children; // two per position of the cyclic window: smaller, larger
    uint32_t windowMask;
    uint32_t maxOffset;
    uint32_t depth;      // nodes a search visits at most
    uint32_t niceLength; // a match this long ends the search
};

// Forgets every position.
void LzxFinderReset(LzxMatchFinder& f);

// Inserts position p of data[0..end) and writes its matches of at least 3 bytes, in rising
// length, at most maxLength long, to found; answers their number (at most depth + 1).
uint32_t LzxFinderSearch(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end,
                         uint32_t maxLength, LzxFound* found);

// Inserts position p without listing matches.
void LzxFinderSkip(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end);

} // namespace velaset::compress

#endif

// Binary-tree match finder over the LZX window.
#include "compress/lzx_match_finder.h"

#include <cstring>

#include "compress/lzx_format.h"

namespace velaset::compress {

namespace {

inline uint32_t Hash3(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return (v * 2654435761u) >> (32 - kLzxHashBits);
}

// Walks the tree of p's hash, splitting it at p: the nodes whose bytes sort below p's
// hang on p's left, the others on its right. Matches go to found when it is not null.
template <bool kList>
uint32_t Insert(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end,
                uint32_t maxLength, LzxFound* found) {
    uint32_t* head = &f.heads[Hash3(data + p)];
    uint32_t node = *head;
    *head = p;
    uint32_t* smaller = &f.children[2 * (p & f.windowMask)];
    uint32_t* larger = smaller + 1;
    uint32_t limit = end - p;
    if (limit > f.niceLength)
        limit = f.niceLength;
    uint32_t smallerLength = 0, largerLength = 0, best = 2, count = 0;
    const uint8_t* here = data + p;
    for (uint32_t steps = f.depth;; steps--) {
        if (node >= p || p - node > f.maxOffset || steps == 0) {
            *smaller = *larger = kLzxNoPosition;
            break;
        }
        const uint8_t* there = data + node;
        uint32_t length = smallerLength < largerLength ? smallerLength : largerLength;
        while (length < limit && there[length] == here[length])
            length++;
        uint32_t* pair = &f.children[2 * (node & f.windowMask)];
        if (kList && length > best) {
            best = length;
            found[count++] = LzxFound{length, p - node};
        }
        if (length == limit) {
            // The same bytes as far as compared: p takes the node's place and subtrees.
            *smaller = pair[0];
            *larger = pair[1];
            break;
        }
        if (there[length] < here[length]) {
            *smaller = node;
            smaller = &pair[1];
            smallerLength = length;
            node = pair[1];
        } else {
            *larger = node;
            larger = &pair[0];
            largerLength = length;
            node = pair[0];
        }
    }
    if (!kList || count == 0)
        return count;
    // The search stops at the nice length; the longest match may go on.
    LzxFound& last = found[count - 1];
    uint32_t most = end - p < kLzxMaxMatch ? end - p : kLzxMaxMatch;
    if (last.length == f.niceLength) {
        const uint8_t* there = here - last.offset;
        while (last.length < most && there[last.length] == here[last.length])
            last.length++;
    }
    // Lengths past maxLength are cut to it; of several, the nearest is kept.
    uint32_t kept = 0;
    while (kept < count && found[kept].length < maxLength)
        kept++;
    if (kept < count) {
        found[kept].length = maxLength;
        kept++;
    }
    return kept;
}

} // namespace

void LzxFinderReset(LzxMatchFinder& f) {
    std::memset(f.heads, 0xFF, sizeof(uint32_t) << kLzxHashBits);
}

uint32_t LzxFinderSearch(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end,
                         uint32_t maxLength, LzxFound* found) {
    if (end - p < 3)
        return 0;
    return Insert<true>(f, data, p, end, maxLength, found);
}

void LzxFinderSkip(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end) {
    if (end - p >= 3)
        Insert<false>(f, data, p, end, 0, nullptr);
}

} // namespace velaset::compress

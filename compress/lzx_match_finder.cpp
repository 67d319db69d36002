// Binary-tree match finder over the LZX window.
#include "compress/lzx_match_finder.h"

#include <cstring>

#include "compress/lzx_format.h"

namespace velaset::compress {

namespace {

inline uint32_t Hash3(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return (v * 2654435761u) >> (32 - kLzxHash3Bits);
}

inline uint32_t Hash4(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return (v * 2654435761u) >> (32 - kLzxHashBits);
}

// Bytes in common, from `length` on, up to limit.
inline uint32_t Extend(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit) {
    while (length + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + length, 8);
        std::memcpy(&y, b + length, 8);
        if (x != y)
            return length + (__builtin_ctzll(x ^ y) >> 3);
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        length++;
    return length;
}

// Walks the tree of p's hash, splitting it at p: the nodes whose bytes sort below p's
// hang on p's left, the others on its right. Matches go to found when it is not null.
template <bool kList>
uint32_t Insert(LzxMatchFinder& f, const uint8_t* data, uint32_t p, uint32_t end,
                uint32_t maxLength, LzxFound* found) {
    uint32_t count = 0;
    uint32_t* head3 = &f.heads3[Hash3(data + p)];
    uint32_t near = *head3;
    *head3 = p;
    if (kList && near < p && p - near <= f.maxOffset &&
        Extend(data + p, data + near, 0, 3) == 3) {
        found[count++] = LzxFound{3, p - near};
    }
    if (end - p < 4) {
        return count;
    }
    uint32_t* head = &f.heads[Hash4(data + p)];
    uint32_t node = *head;
    *head = p;
    uint32_t* smaller = &f.children[2 * (p & f.windowMask)];
    uint32_t* larger = smaller + 1;
    uint32_t limit = end - p;
    if (limit > f.niceLength)
        limit = f.niceLength;
    uint32_t smallerLength = 0, largerLength = 0, best = 3;
    const uint8_t* here = data + p;
    for (uint32_t steps = f.depth;; steps--) {
        if (node >= p || p - node > f.maxOffset || steps == 0) {
            *smaller = *larger = kLzxNoPosition;
            break;
        }
        const uint8_t* there = data + node;
        uint32_t length = smallerLength < largerLength ? smallerLength : largerLength;
        length = Extend(here, there, length, limit);
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
        last.length = Extend(here, here - last.offset, last.length, most);
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
    std::memset(f.heads3, 0xFF, sizeof(uint32_t) << kLzxHash3Bits);
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

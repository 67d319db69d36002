// Hash chains with several links per position and the eight-byte second index.
#include "compress/match_index.h"

#include <cstring>

namespace velaset::compress {

namespace {

constexpr uint32_t kWindowEnd = 65536;
constexpr uint32_t kHalf = 32768;

uint32_t LongKey(const uint8_t* bytes) {
    uint64_t v;
    std::memcpy(&v, bytes, sizeof v);
    return static_cast<uint32_t>((v * 0x9E3779B97F4A7C15ull) >> 49); // 15 bits
}

uint32_t MidKey(const uint8_t* bytes) {
    uint32_t v;
    std::memcpy(&v, bytes, sizeof v);
    uint64_t five = v | (static_cast<uint64_t>(bytes[4]) << 32);
    return static_cast<uint32_t>((five * 0xD6E8FEB86659FD93ull) >> 49); // 15 bits
}

// Puts p at the head of a chain: its links are the old head and the old head's links.
inline void Link(uint16_t& head, ChainLinks* chain, uint32_t p) {
    uint32_t previous = head;
    ChainLinks& links = chain[p & (kHashSize - 1)];
    links.back[0] = static_cast<uint16_t>(previous);
    if (previous != 0) {
        const ChainLinks& older = chain[previous & (kHashSize - 1)];
        for (int k = 1; k < kChainLinks; k++)
            links.back[k] = older.back[k - 1];
    } else {
        for (int k = 1; k < kChainLinks; k++)
            links.back[k] = 0;
    }
    head = static_cast<uint16_t>(p);
}

void LinkLong(MatchIndex& index, const uint8_t* window, uint32_t p) {
    uint16_t& head = index.longHead[LongKey(window + p)];
    index.longLink[p & (kHashSize - 1)] = head;
    head = static_cast<uint16_t>(p);
}

void LinkMid(MatchIndex& index, const uint8_t* window, uint32_t p) {
    uint16_t& head = index.midHead[MidKey(window + p)];
    index.midLink[p & (kHashSize - 1)] = head;
    head = static_cast<uint16_t>(p);
}

// Lowers every position by 32768; those below become 0, none. Written over a plain
// array so that the compiler can do it with saturating vector subtractions.
void Slide(uint16_t* positions, size_t count) {
    for (size_t i = 0; i < count; i++)
        positions[i] = static_cast<uint16_t>(positions[i] >= kHalf ? positions[i] - kHalf : 0);
}

} // namespace

void IndexClear(MatchIndex& index) {
    std::memset(index.head, 0, sizeof index.head);
    std::memset(index.midHead, 0, sizeof index.midHead);
    std::memset(index.longHead, 0, sizeof index.longHead);
    index.lateMid = 0;
    index.lateLong = 0;
}

void IndexSlide(MatchIndex& index, const uint8_t* window) {
    Slide(index.head, kHashSize);
    Slide(index.midHead, kHashSize);
    Slide(index.midLink, kHashSize);
    Slide(index.longHead, kHashSize);
    Slide(index.longLink, kHashSize);
    for (uint32_t i = 0; i < kHashSize; i++)
        Slide(index.chain[i].back, kChainLinks);
    for (uint32_t i = 0; i < kMidKey - 1; i++)
        if (index.lateMid & (1u << i))
            LinkMid(index, window, kWindowEnd - kHalf - (kMidKey - 1) + i);
    index.lateMid = 0;
    // The last positions of the previous block can now be keyed on all eight bytes;
    // they are newer than every other position of that block.
    for (uint32_t i = 0; i < kLongKey - 1; i++)
        if (index.lateLong & (1u << i))
            LinkLong(index, window, kWindowEnd - kHalf - (kLongKey - 1) + i);
    index.lateLong = 0;
}

uint32_t IndexInsert(MatchIndex& index, const uint8_t* window, uint32_t p) {
    index.hash = ((index.hash << 5) ^ window[p + 2]) & (kHashSize - 1);
    uint32_t previous = index.head[index.hash];
    Link(index.head[index.hash], index.chain, p);
    index.rank[p & (kHashSize - 1)] = ++index.hashCount[index.hash];
    if (p + kMidKey <= kWindowEnd)
        LinkMid(index, window, p);
    else
        index.lateMid =
            static_cast<uint8_t>(index.lateMid | (1u << (p - (kWindowEnd - (kMidKey - 1)))));
    if (p + kLongKey <= kWindowEnd)
        LinkLong(index, window, p);
    else
        index.lateLong =
            static_cast<uint8_t>(index.lateLong | (1u << (p - (kWindowEnd - (kLongKey - 1)))));
    return previous;
}

void IndexEnterBlock(MatchIndex& index, const uint8_t* window, uint32_t last) {
    IndexClear(index);
    IndexStartHash(index, window, kHalf);
    for (uint32_t p = kHalf; p <= last; p++)
        IndexInsert(index, window, p);
}

namespace {

inline uint16_t Moved(uint16_t position) {
    return static_cast<uint16_t>(position >= kHalf ? position - kHalf : 0);
}

bool SameMoved(const uint16_t* a, const uint16_t* b, size_t count) {
    for (size_t i = 0; i < count; i++)
        if (Moved(a[i]) != Moved(b[i]))
            return false;
    return true;
}

// The newest position of the block that entered the index: a head (0 for none).
uint32_t LastEntered(const MatchIndex& index) {
    uint32_t last = 0;
    for (uint32_t h = 0; h < kHashSize; h++)
        if (index.head[h] >= kHalf && index.head[h] > last)
            last = index.head[h];
    return last;
}

} // namespace

bool IndexSameForNextBlock(const MatchIndex& a, const MatchIndex& b, const uint8_t* window) {
    if (!SameMoved(a.head, b.head, kHashSize) || !SameMoved(a.midHead, b.midHead, kHashSize) ||
        !SameMoved(a.longHead, b.longHead, kHashSize) || a.lateMid != b.lateMid ||
        a.lateLong != b.lateLong)
        return false;
    // Equal heads: both entered the same positions, kHalf to last, and only those can be
    // reached, from a head or over the links of another.
    const uint32_t last = LastEntered(a);
    if (last == 0)
        return true;
    for (uint32_t p = kHalf; p <= last; p++) {
        const uint32_t i = p & (kHashSize - 1);
        if (!SameMoved(a.chain[i].back, b.chain[i].back, kChainLinks))
            return false;
        // The last positions join the other indexes only with the next block.
        if (p + kMidKey <= kWindowEnd && !SameMoved(&a.midLink[i], &b.midLink[i], 1))
            return false;
        if (p + kLongKey <= kWindowEnd && !SameMoved(&a.longLink[i], &b.longLink[i], 1))
            return false;
        // Ranks count only as distances within a hash: entries of the hash after p.
        const uint32_t hash =
            ((window[p] << 10) ^ (window[p + 1] << 5) ^ window[p + 2]) & (kHashSize - 1);
        if (a.hashCount[hash] - a.rank[i] != b.hashCount[hash] - b.rank[i])
            return false;
    }
    return true;
}

} // namespace velaset::compress

// Parsing one segment of a folder into LZX blocks.
#include "compress/lzx_parser.h"

#include <cmath>
#include <cstring>

#include "compress/lzx_huffman.h"
#include "compress/lzx_match_finder.h"
#include "compress/lzx_trees.h"

namespace velaset::compress {

namespace {

// Matches kept per position, the longest.
constexpr uint32_t kMaxListed = 16;
// Room for the matches of a block: this many per position on average.
constexpr uint32_t kListedPerPosition = 8;
constexpr uint32_t kInfinite = 0xFFFFFFFF;
// Cost of a symbol the last counts did not see, in bits.
constexpr uint32_t kUnseenCost = 14;

// Costs in bits of everything a block may send.
struct Costs {
    uint32_t literal[kLzxChars];
    uint32_t header[8 * kLzxMaxSlots]; // main symbol of a match: slot and length header
    uint32_t length[kLzxLengthSymbols];
    uint32_t aligned[kLzxAlignedSymbols];
    bool alignedBlock;
};

// Symbol counts of a parse.
struct Counts {
    uint32_t main[kLzxMaxMainSymbols];
    uint32_t length[kLzxLengthSymbols];
    uint32_t aligned[kLzxAlignedSymbols];
    uint64_t footerBits;        // verbatim footer bits of all matches
    uint64_t alignedFooterBits; // the footer bits that stay verbatim in an aligned block
};

// A block's code lengths.
struct Lengths {
    uint8_t main[kLzxMaxMainSymbols];
    uint8_t length[kLzxLengthSymbols];
    uint8_t aligned[kLzxAlignedSymbols];
};

} // namespace

struct LzxParser {
    LzxParserSettings s;
    LzxReleaser release;
    int mainSymbols;
    uint32_t blockMax;
    LzxMatchFinder finder;
    uint32_t* listed;      // per match: length | offset << 9
    uint32_t* listedStart; // per position of the block, and one more
    uint32_t listedCapacity;
    uint32_t* cost;    // per position of the block and one more: cheapest cost to reach it
    uint32_t* arrive;  // the match code that reaches it that cheaply, 0 for a literal
    uint32_t* repeats; // three per position: the repeated offsets there, 0 unknown
    uint32_t* path;    // the chosen codes, in order
    Costs costs;
    Counts counts;
    Lengths last; // the previous block of the segment
    bool haveLast;
};

namespace {

uint32_t FrameEnd(uint32_t history, uint32_t q, uint32_t end) {
    uint32_t e = history + ((q - history) / kLzxFrameSize + 1) * kLzxFrameSize;
    return e < end ? e : end;
}

uint32_t Common(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    uint32_t n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            return n + (__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        n++;
    return n;
}

// Lists the matches of every position of [start, start + n).
void FindMatches(LzxParser* p, const uint8_t* data, uint32_t history, uint32_t start,
                 uint32_t n, uint32_t end) {
    LzxFound found[64];
    uint32_t used = 0;
    uint32_t skipTo = start;
    for (uint32_t i = 0; i < n; i++) {
        uint32_t q = start + i;
        p->listedStart[i] = used;
        uint32_t frameEnd = FrameEnd(history, q, end);
        uint32_t maxLength = frameEnd - q < kLzxMaxMatch ? frameEnd - q : kLzxMaxMatch;
        // Inside a long match the positions are not even inserted: their bytes are in
        // the window already, a little farther back.
        if (q < skipTo)
            continue;
        if (maxLength < 3) {
            LzxFinderSkip(p->finder, data, q, end);
            continue;
        }
        uint32_t count = LzxFinderSearch(p->finder, data, q, end, maxLength, found);
        if (count == 0)
            continue;
        uint32_t first = count > kMaxListed ? count - kMaxListed : 0;
        uint32_t room = p->listedCapacity - used;
        if (count - first > room)
            first = count - room;
        for (uint32_t k = first; k < count; k++)
            p->listed[used++] = found[k].length | found[k].offset << 9;
        if (found[count - 1].length >= p->s.niceLength)
            skipTo = q + found[count - 1].length;
    }
    p->listedStart[n] = used;
}

uint32_t Log2Cost(uint32_t total, uint32_t count) {
    if (count == 0)
        return kUnseenCost;
    double bits = std::log2(double(total) / count);
    uint32_t c = static_cast<uint32_t>(bits + 0.5);
    return c < 1 ? 1 : c > 15 ? 15 : c;
}

// Costs before anything is known: literals by their frequency in the block, matches
// by a rough guess that favours near offsets and short headers.
void GuessCosts(LzxParser* p, const uint8_t* data, uint32_t n) {
    Costs& c = p->costs;
    uint32_t histogram[kLzxChars] = {};
    for (uint32_t i = 0; i < n; i++)
        histogram[data[i]]++;
    for (int b = 0; b < kLzxChars; b++)
        c.literal[b] = Log2Cost(n, histogram[b]) + 1;
    for (int slot = 0; slot < kLzxMaxSlots; slot++) {
        for (int h = 0; h < 8; h++)
            c.header[8 * slot + h] = 7 + slot / 8 + (h == 7 ? 1 : 0);
    }
    for (int k = 0; k < kLzxLengthSymbols; k++)
        c.length[k] = 3 + (k >= 8) + (k >= 24) + (k >= 64) * 2;
    for (int k = 0; k < kLzxAlignedSymbols; k++)
        c.aligned[k] = 3;
    c.alignedBlock = false;
}

void CostsFromLengths(LzxParser* p, const Lengths& l, bool alignedBlock) {
    Costs& c = p->costs;
    for (int b = 0; b < kLzxChars; b++)
        c.literal[b] = l.main[b] ? l.main[b] : kUnseenCost;
    for (int k = 0; k < 8 * kLzxMaxSlots; k++) {
        uint8_t len = kLzxChars + k < p->mainSymbols ? l.main[kLzxChars + k] : 0;
        c.header[k] = len ? len : kUnseenCost;
    }
    for (int k = 0; k < kLzxLengthSymbols; k++)
        c.length[k] = l.length[k] ? l.length[k] : kUnseenCost;
    for (int k = 0; k < kLzxAlignedSymbols; k++)
        c.aligned[k] = l.aligned[k] ? l.aligned[k] : 7;
    c.alignedBlock = alignedBlock;
}

inline uint32_t LengthCost(const Costs& c, int slot, uint32_t length) {
    if (length < 9)
        return c.header[8 * slot + length - 2];
    return c.header[8 * slot + 7] + c.length[length - 9];
}

inline uint32_t FooterCost(const Costs& c, int slot, uint32_t formatted) {
    int bits = LzxFooterBits(slot);
    if (c.alignedBlock && bits >= 3)
        return bits - 3 + c.aligned[formatted & 7];
    return bits;
}

void Repeat(uint32_t* r, uint32_t formatted) {
    if (formatted == 1) {
        uint32_t t = r[0];
        r[0] = r[1];
        r[1] = t;
    } else if (formatted == 2) {
        uint32_t t = r[0];
        r[0] = r[2];
        r[2] = t;
    } else if (formatted >= 3) {
        r[2] = r[1];
        r[1] = r[0];
        r[0] = formatted - 2;
    }
}

// The cheapest path over positions [a, a + m) of the block (start = its buffer position)
// from the repeated offsets r; the codes go to path (returns their number) and r ends
// as the path leaves them.
uint32_t CheapestPath(LzxParser* p, const uint8_t* data, uint32_t history, uint32_t start,
                      uint32_t a, uint32_t m, uint32_t end, uint32_t* r) {
    const Costs& c = p->costs;
    uint32_t* cost = p->cost;
    uint32_t* arrive = p->arrive;
    uint32_t* reps = p->repeats;
    cost[0] = 0;
    for (uint32_t t = 1; t <= m; t++)
        cost[t] = kInfinite;
    std::memcpy(reps, r, 12);
    for (uint32_t i = 0; i < m; i++) {
        uint32_t* here = reps + 3 * i;
        if (i > 0) {
            uint32_t code = arrive[i];
            uint32_t back = code ? LzxMatchLength(code) : 1;
            std::memcpy(here, reps + 3 * (i - back), 12);
            if (code)
                Repeat(here, LzxMatchFormatted(code));
        }
        uint32_t q = start + a + i;
        uint32_t base = cost[i];
        uint32_t next = base + c.literal[data[q]];
        if (next < cost[i + 1]) {
            cost[i + 1] = next;
            arrive[i + 1] = 0;
        }
        uint32_t frameEnd = FrameEnd(history, q, end);
        if (frameEnd > start + a + m)
            frameEnd = start + a + m;
        uint32_t limit = frameEnd - q < kLzxMaxMatch ? frameEnd - q : kLzxMaxMatch;
        if (limit < 2)
            continue;
        // A match of the nice length or more is taken as it is: the positions it covers
        // start nothing (their matches were not even looked for).
        uint32_t longest = 0;
        for (uint32_t j = 0; j < 3; j++) {
            uint32_t d = here[j];
            if (d == 0 || d > q)
                continue;
            uint32_t len = Common(data + q, data + q - d, limit);
            if (len >= p->s.niceLength) {
                uint32_t total = base + LengthCost(c, static_cast<int>(j), len);
                if (total < cost[i + len]) {
                    cost[i + len] = total;
                    arrive[i + len] = LzxMatchCode(len, j);
                }
                if (len > longest)
                    longest = len;
                continue;
            }
            for (uint32_t l = 2; l <= len; l++) {
                uint32_t total = base + LengthCost(c, static_cast<int>(j), l);
                if (total < cost[i + l]) {
                    cost[i + l] = total;
                    arrive[i + l] = LzxMatchCode(l, j);
                }
            }
        }
        if (longest != 0) {
            i += longest - 1;
            continue;
        }
        uint32_t shortest = 3;
        for (uint32_t k = p->listedStart[a + i]; k < p->listedStart[a + i + 1]; k++) {
            uint32_t len = p->listed[k] & 511;
            if (len > limit)
                len = limit;
            uint32_t formatted = (p->listed[k] >> 9) + 2;
            int slot = LzxSlotOf(formatted);
            uint32_t offsetBase = base + FooterCost(c, slot, formatted);
            for (uint32_t l = shortest; l <= len; l++) {
                uint32_t total = offsetBase + LengthCost(c, slot, l);
                if (total < cost[i + l]) {
                    cost[i + l] = total;
                    arrive[i + l] = LzxMatchCode(l, formatted);
                }
            }
            if (len + 1 > shortest)
                shortest = len + 1;
        }
        if (shortest > p->s.niceLength)
            i += shortest - 2;
    }
    // Back from the end: the codes in reverse, then in order.
    uint32_t count = 0;
    for (uint32_t t = m; t > 0;) {
        uint32_t code = arrive[t];
        p->path[count++] = code;
        t -= code ? LzxMatchLength(code) : 1;
    }
    for (uint32_t i = 0, j = count - 1; i < j; i++, j--) {
        uint32_t t = p->path[i];
        p->path[i] = p->path[j];
        p->path[j] = t;
    }
    for (uint32_t i = 0; i < count; i++) {
        if (p->path[i])
            Repeat(r, LzxMatchFormatted(p->path[i]));
    }
    return count;
}

void Count(LzxParser* p, const uint8_t* data, uint32_t count) {
    Counts& k = p->counts;
    std::memset(&k, 0, sizeof k);
    const uint8_t* at = data;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t code = p->path[i];
        if (code == 0) {
            k.main[*at++]++;
            continue;
        }
        uint32_t length = LzxMatchLength(code);
        uint32_t formatted = LzxMatchFormatted(code);
        int slot = LzxSlotOf(formatted);
        uint32_t header = length - 2 < 7 ? length - 2 : 7;
        k.main[kLzxChars + 8 * slot + header]++;
        if (header == 7)
            k.length[length - 9]++;
        int bits = LzxFooterBits(slot);
        k.footerBits += bits;
        if (bits >= 3) {
            k.aligned[formatted & 7]++;
            k.alignedFooterBits += bits - 3;
        }
        at += length;
    }
}

uint64_t SymbolBits(const uint32_t* counts, const uint8_t* lengths, int n) {
    uint64_t bits = 0;
    for (int s = 0; s < n; s++)
        bits += uint64_t(counts[s]) * lengths[s];
    return bits;
}

// Code lengths of the counts; answers the block's bits and whether an aligned block is
// the smaller.
uint64_t MakeLengths(LzxParser* p, Lengths* l, bool* aligned) {
    const Counts& k = p->counts;
    LzxCodeLengths(k.main, p->mainSymbols, kLzxMaxCodeLength, l->main);
    std::memset(l->main + p->mainSymbols, 0, kLzxMaxMainSymbols - p->mainSymbols);
    LzxCodeLengths(k.length, kLzxLengthSymbols, kLzxMaxCodeLength, l->length);
    LzxCodeLengths(k.aligned, kLzxAlignedSymbols, kLzxMaxAlignedLength, l->aligned);
    static const uint8_t kZeros[kLzxMaxMainSymbols] = {};
    const uint8_t* previousMain = p->haveLast ? p->last.main : kZeros;
    const uint8_t* previousLength = p->haveLast ? p->last.length : kZeros;
    uint64_t bits = 27 + LzxTreeBits(l->main, previousMain, kLzxChars) +
                    LzxTreeBits(l->main + kLzxChars, previousMain + kLzxChars,
                                p->mainSymbols - kLzxChars) +
                    LzxTreeBits(l->length, previousLength, kLzxLengthSymbols) +
                    SymbolBits(k.main, l->main, p->mainSymbols) +
                    SymbolBits(k.length, l->length, kLzxLengthSymbols);
    uint64_t verbatim = bits + k.footerBits;
    uint64_t alignedBits = bits + 24 + k.alignedFooterBits +
                           SymbolBits(k.aligned, l->aligned, kLzxAlignedSymbols);
    bool anyAligned = false;
    for (int s = 0; s < kLzxAlignedSymbols; s++)
        anyAligned = anyAligned || k.aligned[s] != 0;
    *aligned = anyAligned && alignedBits < verbatim;
    return *aligned ? alignedBits : verbatim;
}

// Bits of each frame's symbols under the lengths; false when one would take more than
// its raw bytes.
bool FramesFit(LzxParser* p, const uint8_t* data, uint32_t history, uint32_t start,
               uint32_t count, const Lengths& l, bool aligned) {
    uint64_t bits = 0;
    uint32_t q = start;
    uint32_t frameEnd = FrameEnd(history, q, 0xFFFFFFFF);
    for (uint32_t i = 0; i < count; i++) {
        uint32_t code = p->path[i];
        if (code == 0) {
            bits += l.main[data[q]];
            q++;
        } else {
            uint32_t length = LzxMatchLength(code);
            uint32_t formatted = LzxMatchFormatted(code);
            int slot = LzxSlotOf(formatted);
            uint32_t header = length - 2 < 7 ? length - 2 : 7;
            bits += l.main[kLzxChars + 8 * slot + header];
            if (header == 7)
                bits += l.length[length - 9];
            int fb = LzxFooterBits(slot);
            bits += aligned && fb >= 3 ? fb - 3 + l.aligned[formatted & 7] : fb;
            q += length;
        }
        if (q == frameEnd || i + 1 == count) {
            if (bits > uint64_t(8) * kLzxFrameSize)
                return false;
            bits = 0;
            frameEnd += kLzxFrameSize;
        }
    }
    return true;
}

void AddBlock(LzxParser* p, LzxSegment* seg, LzxBlockType type, uint32_t start, uint32_t size,
              const Lengths* l, uint32_t pathCount) {
    LzxBlock& b = seg->blocks[seg->blockCount++];
    b.type = type;
    b.start = start;
    b.size = size;
    b.firstMatch = seg->matchCount;
    b.matchCount = 0;
    if (type == kLzxUncompressed) {
        std::memset(b.mainLengths, 0, sizeof b.mainLengths);
        std::memset(b.lengthLengths, 0, sizeof b.lengthLengths);
        std::memset(b.alignedLengths, 0, sizeof b.alignedLengths);
        return;
    }
    std::memcpy(b.mainLengths, l->main, sizeof b.mainLengths);
    std::memcpy(b.lengthLengths, l->length, sizeof b.lengthLengths);
    std::memcpy(b.alignedLengths, l->aligned, sizeof b.alignedLengths);
    uint32_t literals = 0;
    for (uint32_t i = 0; i < pathCount; i++) {
        uint32_t code = p->path[i];
        if (code == 0) {
            literals++;
            continue;
        }
        seg->matches[seg->matchCount++] = LzxMatch{literals, code};
        b.matchCount++;
        literals = 0;
    }
    p->last = *l;
    p->haveLast = true;
}

// Parses [a, a + m) of the block whose matches are listed (buffer position start) into
// one block, or one per frame when a frame of it would grow; r are the repeated offsets.
void ParseRange(LzxParser* p, const uint8_t* data, uint32_t history, uint32_t start,
                uint32_t a, uint32_t m, uint32_t end, uint32_t* r, LzxSegment* seg) {
    const uint8_t* bytes = data + start + a;
    uint32_t begin[3];
    std::memcpy(begin, r, 12);
    if (p->haveLast)
        CostsFromLengths(p, p->last, false);
    else
        GuessCosts(p, bytes, m);
    Lengths l;
    bool aligned = false;
    uint64_t bits = 0;
    uint32_t count = 0;
    // Guessed costs are refined by parsing again with the first result's; the costs of
    // the block before are close enough to take the first.
    uint32_t passes = p->haveLast ? 1 : p->s.passes;
    for (uint32_t pass = 0; pass < passes; pass++) {
        std::memcpy(r, begin, 12);
        count = CheapestPath(p, data, history, start, a, m, end, r);
        Count(p, bytes, count);
        bits = MakeLengths(p, &l, &aligned);
        if (pass + 1 < passes)
            CostsFromLengths(p, l, aligned);
    }
    uint32_t segmentOffset = start + a - history;
    uint64_t raw = 27 + 16 + 96 + uint64_t(8) * (m + (m & 1));
    if (bits >= raw) {
        std::memcpy(r, begin, 12);
        if (m % 2 == 0) {
            AddBlock(p, seg, kLzxUncompressed, segmentOffset, m, nullptr, 0);
            return;
        }
        // An odd uncompressed block would end the folder: its last byte goes into a
        // verbatim block of its own, and no decoder need agree on where a pad byte goes.
        if (m > 1)
            AddBlock(p, seg, kLzxUncompressed, segmentOffset, m - 1, nullptr, 0);
        p->path[0] = 0;
        Count(p, data + start + a + m - 1, 1);
        MakeLengths(p, &l, &aligned);
        AddBlock(p, seg, kLzxVerbatim, segmentOffset + m - 1, 1, &l, 1);
        return;
    }
    if (m > kLzxFrameSize && !FramesFit(p, data, history, start + a, count, l, aligned)) {
        std::memcpy(r, begin, 12);
        for (uint32_t f = 0; f < m; f += kLzxFrameSize) {
            uint32_t n = m - f < kLzxFrameSize ? m - f : kLzxFrameSize;
            ParseRange(p, data, history, start, a + f, n, end, r, seg);
        }
        return;
    }
    AddBlock(p, seg, aligned ? kLzxAligned : kLzxVerbatim, segmentOffset, m, &l, count);
}

} // namespace

LzxParser* LzxParserCreate(const LzxParserSettings& settings, LzxAllocator allocate,
                           LzxReleaser release) {
    LzxParser* p = static_cast<LzxParser*>(allocate(sizeof(LzxParser)));
    if (p == nullptr)
        return nullptr;
    std::memset(p, 0, sizeof *p);
    p->s = settings;
    p->release = release;
    p->mainSymbols = kLzxChars + 8 * LzxSlotCount(settings.windowBits);
    p->blockMax = settings.blockFrames * kLzxFrameSize;
    uint32_t span = settings.historyBytes + settings.segmentBytes;
    uint32_t window = uint32_t(1) << settings.windowBits;
    uint32_t cyclic = 1;
    while (cyclic < span && cyclic < window)
        cyclic <<= 1;
    p->finder.windowMask = cyclic - 1;
    p->finder.maxOffset = LzxMaxOffset(settings.windowBits);
    p->finder.depth = settings.depth;
    p->finder.niceLength = settings.niceLength;
    p->listedCapacity = p->blockMax * kListedPerPosition + kMaxListed;
    uint32_t n = p->blockMax + 1;
    p->finder.heads = static_cast<uint32_t*>(allocate(sizeof(uint32_t) << kLzxHashBits));
    p->finder.heads3 = static_cast<uint32_t*>(allocate(sizeof(uint32_t) << kLzxHash3Bits));
    p->finder.children = static_cast<uint32_t*>(allocate(cyclic * 2 * sizeof(uint32_t)));
    p->listed = static_cast<uint32_t*>(allocate(p->listedCapacity * sizeof(uint32_t)));
    p->listedStart = static_cast<uint32_t*>(allocate(n * sizeof(uint32_t)));
    p->cost = static_cast<uint32_t*>(allocate(n * sizeof(uint32_t)));
    p->arrive = static_cast<uint32_t*>(allocate(n * sizeof(uint32_t)));
    p->repeats = static_cast<uint32_t*>(allocate(3 * n * sizeof(uint32_t)));
    p->path = static_cast<uint32_t*>(allocate(n * sizeof(uint32_t)));
    if (!p->finder.heads || !p->finder.heads3 || !p->finder.children || !p->listed || !p->listedStart || !p->cost ||
        !p->arrive || !p->repeats || !p->path) {
        LzxParserDestroy(p);
        return nullptr;
    }
    return p;
}

void LzxParserDestroy(LzxParser* p) {
    if (p == nullptr)
        return;
    LzxReleaser release = p->release;
    void* parts[] = {p->finder.heads, p->finder.heads3, p->finder.children, p->listed, p->listedStart,
                     p->cost, p->arrive, p->repeats, p->path};
    for (void* part : parts) {
        if (part != nullptr)
            release(part);
    }
    release(p);
}

void LzxParseSegment(LzxParser* p, const uint8_t* buffer, uint32_t history, uint32_t size,
                     LzxSegment* segment) {
    segment->data = buffer + history;
    segment->size = size;
    segment->blockCount = 0;
    segment->matchCount = 0;
    p->haveLast = false;
    LzxFinderReset(p->finder);
    uint32_t end = history + size;
    for (uint32_t q = 0; q < history; q++)
        LzxFinderSkip(p->finder, buffer, q, end);
    uint32_t r[3] = {0, 0, 0};
    for (uint32_t start = history; start < end;) {
        uint32_t n = end - start < p->blockMax ? end - start : p->blockMax;
        FindMatches(p, buffer, history, start, n, end);
        ParseRange(p, buffer, history, start, 0, n, end, r, segment);
        start += n;
    }
}

} // namespace velaset::compress

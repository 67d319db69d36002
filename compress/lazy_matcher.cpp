// Match search and lazy matching over the window.
#include "compress/lazy_matcher.h"

#include <cstring>

namespace velaset::compress {

namespace {

inline uint32_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Length of the common start of scan and match, from byte 2 on (bytes 0 and 1 are
// known to agree), at most maxLength.
inline uint32_t CommonLength(const uint8_t* scan, const uint8_t* match, uint32_t maxLength) {
    uint32_t length = 2;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    while (length + 8 <= maxLength) {
        uint64_t a, b;
        std::memcpy(&a, scan + length, 8);
        std::memcpy(&b, match + length, 8);
        if (a != b)
            return length + static_cast<uint32_t>(__builtin_ctzll(a ^ b) >> 3);
        length += 8;
    }
#endif
    while (length < maxLength && match[length] == scan[length])
        length++;
    return length;
}

// Search state shared by the walks over the two indexes.
struct MatchSearch {
    DeflateState& s;
    const uint8_t* scan;
    uint32_t limit;     // candidates must lie above it
    uint32_t maxLength; // 258, or less near the end of the window
    uint32_t best;
    uint32_t endMask;   // of the four bytes that end at best, those from byte 0 on
    uint32_t scanEnd;   // the four bytes that end at best, under endMask
    uint32_t scanStart; // the first two bytes

    // Only a candidate that agrees in the bytes up to best can be longer; most fail here.
    bool MayBeLonger(const uint8_t* match) const {
        return (Load32(match + best - 3) & endMask) == scanEnd && Load16(match) == scanStart;
    }

    // Answers false when the search is over: a match as long as it can be.
    bool Measure(uint32_t candidate) {
        uint32_t length = CommonLength(scan, s.window + candidate, maxLength);
        if (length > best) {
            best = length;
            s.matchStart = candidate;
            if (length >= maxLength)
                return false;
            endMask = 0xFFFFFFFF;
            scanEnd = Load32(scan + best - 3);
        }
        return true;
    }

    bool Examine(uint32_t candidate) {
        return !MayBeLonger(s.window + candidate) || Measure(candidate);
    }
};

// The plain walk: every candidate of the three-byte chain, at most kChainBudget of them.
// Stops early, answering true, once the match is long enough for the five-byte index.
bool WalkChain(MatchSearch& m, uint32_t candidate) {
    const MatchIndex& index = m.s.index;
    const uint32_t limit = m.limit;
    auto visit = [&](uint32_t c) { return m.Examine(c) && m.best < kMidKey - 1; };
    if (!visit(candidate))
        return m.best >= kMidKey - 1 && m.best < m.maxLength;
    // The budget counts the candidates after the first; it is spent at the link where it
    // would reach 0, counted per group of links so that it stays out of the inner loop.
    for (uint32_t budget = kChainBudget;; budget -= kChainLinks) {
        uint16_t c[kChainLinks];
        std::memcpy(c, index.chain[candidate & (kHashSize - 1)].back, sizeof c);
        for (uint32_t k = 0; k < kChainLinks; k++) {
            if (c[k] <= limit || k + 1 == budget)
                return false;
            if (!visit(c[k]))
                return m.best >= kMidKey - 1 && m.best < m.maxLength;
        }
        candidate = c[kChainLinks - 1];
    }
}

// The walk over the index of `links` (five or eight bytes) from the current position.
// It meets the candidates that agree in that many bytes in the order of the plain walk,
// and stops where that walk would have spent its budget; the others cannot be longer
// than best. Candidates that an earlier walk has seen already come again, which changes
// nothing. Answers true when it stops because best reached `enough` (below the longest
// match possible), for the walk over the next index to go on.
bool WalkKeyChain(MatchSearch& m, const uint16_t* links, uint32_t enough) {
    const MatchIndex& index = m.s.index;
    const uint32_t currentRank = index.rank[m.s.position & (kHashSize - 1)];
    const uint8_t third = m.scan[2];
    // Whether the plain walk would have stopped before this candidate of its chain; then
    // it would have stopped before all older ones too.
    auto beyondBudget = [&](uint32_t candidate) {
        return currentRank - index.rank[candidate & (kHashSize - 1)] > kChainBudget;
    };
    uint32_t steps = 0;
    for (uint32_t candidate = m.s.position;;) {
        candidate = links[candidate & (kHashSize - 1)];
        if (candidate <= m.limit)
            return false;
        const uint8_t* match = m.s.window + candidate;
        // Another third byte means another chain of the plain walk: not longer.
        if (m.MayBeLonger(match) && match[2] == third) {
            if (beyondBudget(candidate) || !m.Measure(candidate))
                return false;
            if (m.best >= enough)
                return true;
        } else if ((++steps & 7) == 0 && Load16(match) == m.scanStart && match[2] == third &&
                   beyondBudget(candidate)) {
            return false; // now and then, so that the walk ends near where the plain one would
        }
    }
}

// Finds the longest match for the current position that is longer than best, starting
// at candidate; sets matchStart to the first candidate of that length in chain order.
// Never compares past the end of the window, nor past the input (lookahead bytes from
// the scan position): the window beyond the input holds what earlier blocks left there,
// which must not steer the choice, or the output would depend on what the compressor
// did before.
uint32_t LongestMatch(DeflateState& s, uint32_t candidate, uint32_t best, uint32_t lookahead) {
    const uint32_t current = s.position;
    uint32_t maxLength = kWindowSize - current;
    if (maxLength > kMaxMatch)
        maxLength = kMaxMatch;
    if (maxLength > lookahead)
        maxLength = lookahead;
    if (best >= maxLength)
        return best;
    const uint8_t* scan = s.window + current;
    // While best is 2 the four bytes start before the position; that first one does not count.
    static const uint8_t kFromSecond[4] = {0, 0xFF, 0xFF, 0xFF};
    const uint32_t endMask = best >= 3 ? 0xFFFFFFFF : Load32(kFromSecond);
    MatchSearch m = {s,
                     scan,
                     current > kMaxDistance ? current - kMaxDistance : 0,
                     maxLength,
                     best,
                     endMask,
                     Load32(scan + best - 3) & endMask,
                     Load16(scan)};
    if (best < kMidKey - 1) {
        if (!WalkChain(m, candidate))
            return m.best;
    } else if (!m.Examine(candidate)) {
        return m.best;
    }
    if (m.best < kLongKey - 1 && !WalkKeyChain(m, m.s.index.midLink, kLongKey - 1))
        return m.best;
    WalkKeyChain(m, m.s.index.longLink, kMaxMatch + 1);
    return m.best;
}

// Ends the current deflate block at the scan position.
inline void CutBlock(DeflateState& s) {
    EncoderCutBlock(s.encoder, s.window + s.blockStart, s.position - s.blockStart, false);
    s.blockStart = static_cast<int32_t>(s.position);
}

// The lazy-matching loop: a match found at one position is held back for one step in
// case the next position starts a longer one. Ends with the final deflate block and
// answers its compressed length in bytes.
uint32_t RunLazyMatching(DeflateState& s, uint32_t inputSize) {
    DeflateEncoder& e = s.encoder;
    int32_t lookahead = static_cast<int32_t>(inputSize);
    uint32_t matchLength = 2;
    bool literalPending = false;
    while (lookahead > 0) {
        uint32_t hashHead = lookahead >= 3 ? IndexInsert(s.index, s.window, s.position) : 0;
        uint32_t previousLength = matchLength;
        uint32_t previousMatch = s.matchStart;
        matchLength = 2;
        if (hashHead != 0 && previousLength < kLazyLimit && s.position - hashHead <= kMaxDistance &&
            s.position < kWindowSize - 3) {
            matchLength =
                LongestMatch(s, hashHead, previousLength, static_cast<uint32_t>(lookahead));
            if (matchLength > static_cast<uint32_t>(lookahead))
                matchLength = static_cast<uint32_t>(lookahead);
            if (matchLength == 3 && s.position - s.matchStart > kFarLength3)
                matchLength = 2;
        }
        if (previousLength >= 3 && matchLength <= previousLength) {
            bool cut = EncoderRecordMatch(e, s.position - 1 - previousMatch, previousLength,
                                          s.position - s.blockStart);
            lookahead -= static_cast<int32_t>(previousLength - 1);
            for (uint32_t i = 0; i < previousLength - 2; i++) {
                s.position++;
                if (lookahead > 2)
                    IndexInsert(s.index, s.window, s.position);
            }
            s.position++;
            literalPending = false;
            matchLength = 2;
            if (cut)
                CutBlock(s);
        } else if (literalPending) {
            if (EncoderRecordLiteral(e, s.window[s.position - 1], s.position - s.blockStart))
                CutBlock(s);
            s.position++;
            lookahead--;
        } else {
            literalPending = true;
            s.position++;
            lookahead--;
        }
    }
    if (literalPending)
        EncoderRecordLiteral(e, s.window[s.position - 1], s.position - s.blockStart);
    return EncoderCutBlock(e, s.window + s.blockStart, s.position - s.blockStart, true);
}

} // namespace

uint32_t CompressWindowBlock(DeflateState& s, uint32_t inputSize, bool history, uint8_t* output,
                             uint32_t capacity) {
    EncoderPrepare(s.encoder, output, capacity);
    if (!history)
        std::memcpy(s.window + kBlockOffset, s.window, kBlockOffset);
    s.position = kBlockOffset;
    s.blockStart = static_cast<int32_t>(kBlockOffset);
    IndexStartHash(s.index, s.window, kBlockOffset);
    if (history)
        IndexSlide(s.index, s.window);
    else
        IndexClear(s.index);

    BitWriterSend(s.encoder.out, 0x43, 8); // "CK"
    BitWriterSend(s.encoder.out, 0x4B, 8);
    uint32_t size = RunLazyMatching(s, inputSize) + 2;

    if (history)
        std::memcpy(s.window, s.window + kBlockOffset, kBlockOffset);
    return size;
}

} // namespace velaset::compress

// Hash chains and lazy matching over the window.
#include "compress/lazy_matcher.h"

#include <cstring>

namespace {

// Enters position p into the hash chains and answers the previous position with the
// same hash of three bytes (0 for none).
inline uint32_t InsertPosition(DeflateState& s, uint32_t p) {
    s.hash = ((s.hash << 5) ^ s.window[p + 2]) & (kHashSize - 1);
    uint32_t previous = s.head[s.hash];
    ChainLinks& links = s.chain[p & (kHashSize - 1)];
    links.back[0] = static_cast<uint16_t>(previous);
    if (previous != 0) {
        const ChainLinks& older = s.chain[previous & (kHashSize - 1)];
        for (int k = 1; k < kChainLinks; k++)
            links.back[k] = older.back[k - 1];
    } else {
        for (int k = 1; k < kChainLinks; k++)
            links.back[k] = 0;
    }
    s.head[s.hash] = static_cast<uint16_t>(p);
    return previous;
}

inline uint32_t Load16(const uint8_t* p) {
    uint16_t v;
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

// Walks the chain from candidate for a match longer than best; sets matchStart to the
// candidate of the longest one found. Never compares past the end of the window, nor
// past the input (lookahead bytes from the scan position): the window beyond the input
// holds what earlier blocks left there, which must not steer the choice, or the output
// would depend on what the compressor did before.
uint32_t LongestMatch(DeflateState& s, uint32_t candidate, uint32_t best, uint32_t lookahead) {
    const uint32_t current = s.position;
    const uint32_t limit = current > kMaxDistance ? current - kMaxDistance : 0;
    uint32_t maxLength = kWindowSize - current;
    if (maxLength > kMaxMatch)
        maxLength = kMaxMatch;
    if (maxLength > lookahead)
        maxLength = lookahead;
    if (best >= maxLength)
        return best;
    const uint8_t* window = s.window;
    const uint8_t* scan = window + current;
    // A candidate can only be longer if it agrees at best - 1 and best; most fail there.
    uint32_t scanEnd = Load16(scan + best - 1);
    const uint32_t scanStart = Load16(scan);
    uint32_t budget = kChainBudget;
    // Examines one candidate; answers false when the search is over.
    auto examine = [&](uint32_t c) {
        const uint8_t* match = window + c;
        if (Load16(match + best - 1) != scanEnd || Load16(match) != scanStart)
            return true;
        uint32_t length = CommonLength(scan, match, maxLength);
        if (length > best) {
            best = length;
            s.matchStart = c;
            if (length >= maxLength)
                return false;
            scanEnd = Load16(scan + best - 1);
        }
        return true;
    };
    // A later candidate: answers false when the search is over.
    auto next = [&](uint32_t c) { return c > limit && --budget != 0 && examine(c); };
    // kChainLinks candidates a step, fetched together.
    if (!examine(candidate))
        return best;
    for (;;) {
        const ChainLinks& links = s.chain[candidate & (kHashSize - 1)];
        uint16_t c[kChainLinks];
        std::memcpy(c, links.back, sizeof c);
        for (int k = 0; k < kChainLinks; k++)
            if (!next(c[k]))
                return best;
        candidate = c[kChainLinks - 1];
    }
}

// Ends the current deflate block at the scan position.
inline void CutBlock(DeflateState& s) {
    EncoderCutBlock(s.encoder, s.window + s.blockStart, s.position - s.blockStart, false);
    s.blockStart = static_cast<int32_t>(s.position);
}

// Prepares the hash tables for a new block: forgets everything without history,
// otherwise moves the previous block's positions down into the lower half.
void PrepareTables(DeflateState& s, bool history) {
    if (!history) {
        std::memset(s.head, 0, sizeof s.head);
        return;
    }
    auto slide = [](uint16_t& position) {
        position = static_cast<uint16_t>(position >= kBlockOffset ? position - kBlockOffset : 0);
    };
    for (uint32_t i = 0; i < kHashSize; i++) {
        slide(s.head[i]);
        for (int k = 0; k < kChainLinks; k++)
            slide(s.chain[i].back[k]);
    }
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
        uint32_t hashHead = lookahead >= 3 ? InsertPosition(s, s.position) : 0;
        uint32_t previousLength = matchLength;
        uint32_t previousMatch = s.matchStart;
        matchLength = 2;
        if (hashHead != 0 && previousLength < kLazyLimit &&
            s.position - hashHead <= kMaxDistance && s.position < kWindowSize - 3) {
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
                    InsertPosition(s, s.position);
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
    s.hash = ((s.window[kBlockOffset] << 5) ^ s.window[kBlockOffset + 1]) & (kHashSize - 1);
    PrepareTables(s, history);

    BitWriterSend(s.encoder.out, 0x43, 8); // "CK"
    BitWriterSend(s.encoder.out, 0x4B, 8);
    uint32_t size = RunLazyMatching(s, inputSize) + 2;

    if (history)
        std::memcpy(s.window, s.window + kBlockOffset, kBlockOffset);
    return size;
}

// Hash chains and lazy matching over the window.
#include "compress/lazy_matcher.h"

#include <cstring>

namespace {

// Enters position p into the hash chains and answers the previous position with the
// same hash of three bytes (0 for none).
inline uint32_t InsertPosition(DeflateState& s, uint32_t p) {
    s.hash = ((s.hash << 5) ^ s.window[p + 2]) & (kHashSize - 1);
    uint32_t previous = s.head[s.hash];
    s.chain[p & (kHashSize - 1)] = static_cast<uint16_t>(previous);
    s.head[s.hash] = static_cast<uint16_t>(p);
    return previous;
}

// Walks the chain from candidate for a match longer than best; sets matchStart to the
// candidate of the longest one found. Never compares past the end of the window.
uint32_t LongestMatch(DeflateState& s, uint32_t candidate, uint32_t best) {
    const uint32_t current = s.position;
    const uint32_t limit = current > kMaxDistance ? current - kMaxDistance : 0;
    uint32_t maxLength = kWindowSize - current;
    if (maxLength > kMaxMatch)
        maxLength = kMaxMatch;
    if (best >= maxLength)
        return best;
    const uint8_t* scan = s.window + current;
    uint32_t budget = kChainBudget;
    do {
        const uint8_t* match = s.window + candidate;
        if (match[best - 1] == scan[best - 1] && match[best] == scan[best] &&
            match[0] == scan[0] && match[1] == scan[1]) {
            uint32_t length = 2;
            while (length < maxLength && match[length] == scan[length])
                length++;
            if (length > best) {
                best = length;
                s.matchStart = candidate;
                if (length >= maxLength)
                    break;
            }
        }
        candidate = s.chain[candidate & (kHashSize - 1)];
    } while (candidate > limit && --budget != 0);
    return best;
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
    for (uint32_t i = 0; i < kHashSize; i++) {
        s.head[i] = static_cast<uint16_t>(s.head[i] >= kBlockOffset ? s.head[i] - kBlockOffset : 0);
        s.chain[i] =
            static_cast<uint16_t>(s.chain[i] >= kBlockOffset ? s.chain[i] - kBlockOffset : 0);
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
            matchLength = LongestMatch(s, hashHead, previousLength);
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

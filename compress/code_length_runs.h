// Run-length form of a tree's code lengths (RFC 1951, 3.2.7), walked once to count the
// bit-length symbols and once more to send them.
#ifndef VELASET_COMPRESS_CODE_LENGTH_RUNS_H
#define VELASET_COMPRESS_CODE_LENGTH_RUNS_H

#include <cstdint>

namespace velaset::compress {

constexpr int kRepeatPrevious = 16; // 3..6 copies of the previous length, 2 extra bits
constexpr int kRepeatZero = 17;     // 3..10 zeros, 3 extra bits
constexpr int kRepeatZeroLong = 18; // 11..138 zeros, 7 extra bits

// Calls emit(symbol, extra value, extra bit count) for every bit-length symbol that
// describes lengths[0..largest].
template <typename Emit> void WalkCodeLengthRuns(const uint8_t* lengths, int largest, Emit&& emit) {
    int previous = -1; // length of the run before, none at first
    int next = lengths[0];
    int count = 0;
    int maxCount = next == 0 ? 138 : 7;
    int minCount = next == 0 ? 3 : 4;
    for (int n = 0; n <= largest; n++) {
        int current = next;
        next = n < largest ? lengths[n + 1] : 0xFFFF; // the last run ends at the end
        if (++count < maxCount && current == next)
            continue;
        if (count < minCount) {
            for (int i = 0; i < count; i++)
                emit(current, 0, 0);
        } else if (current != 0) {
            if (current != previous) {
                emit(current, 0, 0);
                count--;
            }
            emit(kRepeatPrevious, count - 3, 2);
        } else if (count <= 10) {
            emit(kRepeatZero, count - 3, 3);
        } else {
            emit(kRepeatZeroLong, count - 11, 7);
        }
        count = 0;
        previous = current;
        if (next == 0) {
            maxCount = 138;
            minCount = 3;
        } else if (current == next) {
            maxCount = 6;
            minCount = 3;
        } else {
            maxCount = 7;
            minCount = 4;
        }
    }
}

} // namespace velaset::compress

#endif

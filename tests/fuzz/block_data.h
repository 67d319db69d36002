// Turns a few fuzz bytes into a block of data of any size up to 32768, so that small
// inputs can still reach full blocks (and with them the history between blocks).
#ifndef VELASET_TESTS_FUZZ_BLOCK_DATA_H
#define VELASET_TESTS_FUZZ_BLOCK_DATA_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace fuzz {

// Reads a size and a kind from the provider and returns that many bytes:
// taken as they are from the input, a short pattern repeated, a pattern with
// scattered changes, bytes from a small alphabet, or pseudo-random bytes.
std::vector<uint8_t> ConsumeBlock(FuzzedDataProvider& in, uint32_t maxSize);

} // namespace fuzz

#endif

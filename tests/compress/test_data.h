// Data for the compressor tests, made on the spot from fixed seeds with integer
// arithmetic only, so that every platform makes the very same bytes.
#ifndef VELASET_TESTS_COMPRESS_TEST_DATA_H
#define VELASET_TESTS_COMPRESS_TEST_DATA_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mszip_test {

using Bytes = std::vector<uint8_t>;

// SplitMix64: small, fast and the same everywhere.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

  private:
    uint64_t state_;
};

enum class DataKind {
    Text, // words, blanks and line ends
    Code, // machine-code-like: skewed opcodes, small immediates, addresses
    Zeros,
    Random,
    ShortRuns, // runs of 1 to 8 equal bytes
    LongRuns,  // runs of 100 to 1000 equal bytes
    Skewed,    // geometric byte frequencies: deep Huffman trees that need repair
    Copies,    // pieces copied from far back, distances up to 32 KB
    NoRepeats, // no three-byte string occurs twice (up to 65536 bytes)
    Mixed,     // stretches of all the kinds above
};

constexpr DataKind kAllKinds[] = {DataKind::Text,   DataKind::Code,      DataKind::Zeros,
                                  DataKind::Random, DataKind::ShortRuns, DataKind::LongRuns,
                                  DataKind::Skewed, DataKind::Copies,    DataKind::NoRepeats,
                                  DataKind::Mixed};

const char* KindName(DataKind kind);
Bytes MakeData(DataKind kind, size_t size, uint64_t seed);

// 64-bit FNV-1a, fed piece by piece.
class Digest {
  public:
    void Add(const uint8_t* data, size_t size);
    void Add(const Bytes& bytes) { Add(bytes.data(), bytes.size()); }
    uint64_t Value() const { return value_; }
    std::string Hex() const;

  private:
    uint64_t value_ = 14695981039346656037ull;
};

bool ReadFile(const std::string& path, Bytes& contents);

} // namespace mszip_test

#endif

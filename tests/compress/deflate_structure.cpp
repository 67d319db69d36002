// Structure reader for deflate streams, written for inspection in tests. Whether a
// stream is valid is libdeflate's to say (and, in the Windows build, the golden
// digests'): the reader only refuses what it cannot read.
#include "tests/compress/deflate_structure.h"

namespace mszip_test {

const uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

namespace {

class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Bits(int count, uint32_t& value) {
        value = 0;
        for (int i = 0; i < count; i++) {
            if (position_ >= size_ * 8)
                return false;
            uint32_t bit = (data_[position_ >> 3] >> (position_ & 7)) & 1;
            value |= bit << i;
            position_++;
        }
        return true;
    }
    void AlignToByte() { position_ = (position_ + 7) & ~size_t(7); }
    size_t bytePosition() const { return position_ / 8; }
    void SkipBytes(size_t n) { position_ += n * 8; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Canonical code from lengths, decoded one bit at a time.
class Code {
  public:
    void Build(const uint8_t* lengths, int count) {
        for (int i = 0; i <= 15; i++)
            counts_[i] = 0;
        for (int s = 0; s < count; s++)
            counts_[lengths[s]]++;
        int offsets[16];
        offsets[1] = 0;
        for (int len = 1; len < 15; len++)
            offsets[len + 1] = offsets[len] + counts_[len];
        symbols_.assign(count, 0);
        for (int s = 0; s < count; s++)
            if (lengths[s] != 0)
                symbols_[offsets[lengths[s]]++] = static_cast<uint16_t>(s);
    }
    bool Decode(BitReader& in, int& symbol) const {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len <= 15; len++) {
            uint32_t bit;
            if (!in.Bits(1, bit))
                return false;
            code |= static_cast<int>(bit);
            int count = counts_[len];
            if (code - first < count) {
                symbol = symbols_[index + code - first];
                return true;
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return false;
    }

  private:
    int counts_[16];
    std::vector<uint16_t> symbols_;
};

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

std::string ReadDynamicCodes(BitReader& in, DeflateBlock& block, Code& literals, Code& distances) {
    uint32_t hlit, hdist, hclen;
    if (!in.Bits(5, hlit) || !in.Bits(5, hdist) || !in.Bits(4, hclen))
        return "truncated dynamic header";
    block.bitLengthCount = static_cast<int>(hclen) + 4;
    uint8_t bitLengths[19] = {};
    for (int i = 0; i < block.bitLengthCount; i++) {
        uint32_t v;
        if (!in.Bits(3, v))
            return "truncated bit lengths";
        bitLengths[kOrder[i]] = static_cast<uint8_t>(v);
    }
    Code bitLengthCode;
    bitLengthCode.Build(bitLengths, 19);
    int total = static_cast<int>(hlit + 257 + hdist + 1);
    std::vector<uint8_t> lengths;
    while (static_cast<int>(lengths.size()) < total) {
        int symbol;
        if (!bitLengthCode.Decode(in, symbol))
            return "bad code length symbol";
        uint32_t repeat = 0;
        uint8_t value = 0;
        if (symbol < 16) {
            lengths.push_back(static_cast<uint8_t>(symbol));
            continue;
        }
        if (symbol == 16 && !lengths.empty()) {
            value = lengths.back();
            in.Bits(2, repeat);
            repeat += 3;
        } else if (symbol == 17) {
            in.Bits(3, repeat);
            repeat += 3;
        } else {
            in.Bits(7, repeat);
            repeat += 11;
        }
        if (static_cast<int>(lengths.size() + repeat) > total)
            return "code lengths run past the end";
        lengths.insert(lengths.end(), repeat, value);
    }
    block.literalLengths.assign(lengths.begin(), lengths.begin() + hlit + 257);
    block.distanceLengths.assign(lengths.begin() + hlit + 257, lengths.end());
    literals.Build(block.literalLengths.data(), static_cast<int>(hlit + 257));
    distances.Build(block.distanceLengths.data(), static_cast<int>(hdist + 1));
    return "";
}

} // namespace

std::string ReadDeflateStructure(const uint8_t* data, size_t size,
                                 std::vector<DeflateBlock>& blocks) {
    BitReader in(data, size);
    blocks.clear();
    uint32_t produced = 0;
    Code fixedLiterals, fixedDistances;
    {
        uint8_t lengths[288];
        for (int s = 0; s < 288; s++)
            lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        fixedLiterals.Build(lengths, 288);
        uint8_t distanceLengths[30];
        for (int s = 0; s < 30; s++)
            distanceLengths[s] = 5;
        fixedDistances.Build(distanceLengths, 30);
    }
    for (;;) {
        DeflateBlock block;
        block.firstByte = produced;
        uint32_t final, type;
        if (!in.Bits(1, final) || !in.Bits(2, type))
            return "truncated block header";
        block.final = final != 0;
        block.type = static_cast<int>(type);
        if (type == 3)
            return "reserved block type";
        if (type == 0) {
            in.AlignToByte();
            uint32_t length, complement;
            if (!in.Bits(16, length) || !in.Bits(16, complement) ||
                in.bytePosition() + length > size)
                return "stored block runs past the end";
            in.SkipBytes(length);
            block.storedLength = length;
            produced += length;
        } else {
            Code dynamicLiterals, dynamicDistances;
            if (type == 2) {
                std::string error = ReadDynamicCodes(in, block, dynamicLiterals, dynamicDistances);
                if (!error.empty())
                    return error;
            }
            const Code& literals = type == 1 ? fixedLiterals : dynamicLiterals;
            const Code& distances = type == 1 ? fixedDistances : dynamicDistances;
            for (;;) {
                int symbol;
                if (!literals.Decode(in, symbol))
                    return "bad literal/length symbol";
                if (symbol == 256)
                    break;
                DeflateSymbol s = {0, 0, 0};
                if (symbol < 256) {
                    s.literal = static_cast<uint8_t>(symbol);
                    produced++;
                } else {
                    if (symbol > 285)
                        return "bad length symbol";
                    uint32_t extra = 0;
                    in.Bits(kLengthExtra[symbol - 257], extra);
                    s.length = static_cast<uint16_t>(kLengthBase[symbol - 257] + extra);
                    int d;
                    if (!distances.Decode(in, d) || d > 29)
                        return "bad distance symbol";
                    in.Bits(kDistanceExtra[d], extra);
                    s.distance = static_cast<uint16_t>(kDistanceBase[d] + extra);
                    produced += s.length;
                }
                block.symbols.push_back(s);
            }
        }
        blocks.push_back(block);
        if (block.final)
            break;
    }
    in.AlignToByte();
    if (in.bytePosition() != size)
        return "bytes after the final block";
    return "";
}

} // namespace mszip_test

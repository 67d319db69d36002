// Generators of the compressor test data.
#include "tests/compress/test_data.h"

#include <cstdio>
#include <cstring>

namespace mszip_test {

uint64_t Rng::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

const char* KindName(DataKind kind) {
    static const char* const kNames[] = {"text",       "code",      "zeros",  "random",
                                         "short-runs", "long-runs", "skewed", "copies",
                                         "no-repeats", "mixed"};
    return kNames[static_cast<int>(kind)];
}

namespace {

// The words of the text, separated by blanks.
const char kWords[] =
    "installazione cartella file setup the of and program registry HKLM Software \\ "
    "int return const static struct { } ( ) ; = 0 1 32768 #include <stdint.h> "
    "void char* size_t if else for while Avanti Indietro Annulla Fine Velaset "
    "cabinet";

void AppendText(Bytes& out, size_t size, Rng& rng) {
    std::vector<std::string> words;
    for (const char* p = kWords; *p != 0; p += *p == ' ') {
        const char* end = std::strchr(p, ' ');
        end = end != nullptr ? end : p + std::strlen(p);
        words.emplace_back(p, end);
        p = end;
    }
    const uint32_t kWordCount = static_cast<uint32_t>(words.size());
    while (out.size() < size) {
        // Small word numbers come up more often, as in real text.
        uint32_t w = rng.Below(kWordCount);
        w = rng.Below(w + 1);
        for (size_t i = 0; i < words[w].size() && out.size() < size; i++)
            out.push_back(static_cast<uint8_t>(words[w][i]));
        uint32_t gap = rng.Below(16);
        if (out.size() < size)
            out.push_back(gap == 0 ? '\n' : gap == 1 ? '\t' : ' ');
    }
}

void AppendCode(Bytes& out, size_t size, Rng& rng) {
    static const uint8_t kOpcodes[] = {0x8B, 0x89, 0xE8, 0x83, 0x48, 0x0F, 0xFF, 0xC3,
                                       0x55, 0x5D, 0x74, 0x75, 0xEB, 0x85, 0x31, 0x8D};
    while (out.size() < size) {
        uint32_t pick = rng.Below(16);
        out.push_back(kOpcodes[rng.Below(pick + 1)]);
        switch (rng.Below(4)) {
        case 0:
            out.push_back(static_cast<uint8_t>(rng.Below(256)));
            break;
        case 1:
            out.push_back(static_cast<uint8_t>(0xC0 + rng.Below(64)));
            break;
        case 2: { // a little-endian address near others
            uint32_t address = 0x00401000 + rng.Below(0x4000) * 4;
            for (int i = 0; i < 4; i++)
                out.push_back(static_cast<uint8_t>(address >> (8 * i)));
            break;
        }
        default:
            break;
        }
    }
    out.resize(size);
}

void AppendRuns(Bytes& out, size_t size, Rng& rng, uint32_t shortest, uint32_t longest) {
    while (out.size() < size) {
        uint8_t value = static_cast<uint8_t>(rng.Below(256));
        uint32_t run = shortest + rng.Below(longest - shortest + 1);
        for (uint32_t i = 0; i < run && out.size() < size; i++)
            out.push_back(value);
    }
}

void AppendSkewed(Bytes& out, size_t size, Rng& rng) {
    while (out.size() < size) {
        uint32_t value = 0;
        while (value < 255 && rng.Below(1000) < 618)
            value++;
        out.push_back(static_cast<uint8_t>(value ^ 0x5A));
    }
}

void AppendCopies(Bytes& out, size_t size, Rng& rng) {
    while (out.size() < size) {
        if (out.size() < 64 || rng.Below(4) == 0) {
            for (uint32_t n = 1 + rng.Below(32); n > 0 && out.size() < size; n--)
                out.push_back(static_cast<uint8_t>(rng.Below(256)));
            continue;
        }
        size_t back = 1 + rng.Below(static_cast<uint32_t>(out.size() < 32768 ? out.size() : 32768));
        size_t from = out.size() - back;
        for (uint32_t n = 3 + rng.Below(300); n > 0 && out.size() < size; n--)
            out.push_back(out[from++]);
    }
}

// A de Bruijn sequence of order 2 over all 256 byte values: every pair of bytes occurs
// exactly once, so no string of three bytes repeats. Rotated by the seed.
void AppendNoRepeats(Bytes& out, size_t size, Rng& rng) {
    Bytes sequence;
    sequence.reserve(65536);
    for (int a = 0; a < 256; a++) {
        sequence.push_back(static_cast<uint8_t>(a)); // the Lyndon word "a"
        for (int b = a + 1; b < 256; b++) {          // the Lyndon words "a b"
            sequence.push_back(static_cast<uint8_t>(a));
            sequence.push_back(static_cast<uint8_t>(b));
        }
    }
    size_t start = rng.Below(256) * 2;
    for (size_t i = 0; out.size() < size && i < sequence.size(); i++)
        out.push_back(sequence[(start + i) % sequence.size()]);
    while (out.size() < size) // beyond 65536 bytes repeats cannot be avoided
        out.push_back(static_cast<uint8_t>(rng.Below(256)));
}

void Append(DataKind kind, Bytes& out, size_t size, Rng& rng) {
    switch (kind) {
    case DataKind::Text:
        AppendText(out, size, rng);
        break;
    case DataKind::Code:
        AppendCode(out, size, rng);
        break;
    case DataKind::Zeros:
        out.resize(size, 0);
        break;
    case DataKind::Random:
        while (out.size() < size)
            out.push_back(static_cast<uint8_t>(rng.Next() >> 56));
        break;
    case DataKind::ShortRuns:
        AppendRuns(out, size, rng, 1, 8);
        break;
    case DataKind::LongRuns:
        AppendRuns(out, size, rng, 100, 1000);
        break;
    case DataKind::Skewed:
        AppendSkewed(out, size, rng);
        break;
    case DataKind::Copies:
        AppendCopies(out, size, rng);
        break;
    case DataKind::NoRepeats:
        AppendNoRepeats(out, size, rng);
        break;
    case DataKind::Mixed:
        while (out.size() < size) {
            DataKind part = kAllKinds[rng.Below(9)];
            size_t end = out.size() + 1 + rng.Below(6000);
            Append(part, out, end < size ? end : size, rng);
        }
        break;
    }
}

} // namespace

Bytes MakeData(DataKind kind, size_t size, uint64_t seed) {
    Rng rng(seed * 0x100 + static_cast<uint64_t>(kind));
    Bytes out;
    out.reserve(size);
    Append(kind, out, size, rng);
    return out;
}

void Digest::Add(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; i++) {
        value_ ^= data[i];
        value_ *= 1099511628211ull;
    }
}

std::string Digest::Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value_));
    return text;
}

bool ReadFile(const std::string& path, Bytes& contents) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    contents.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        contents.insert(contents.end(), chunk, chunk + n);
    std::fclose(f);
    return true;
}

} // namespace mszip_test

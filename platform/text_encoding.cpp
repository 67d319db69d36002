// Windows-1252 <-> UTF-8 conversion, the same code on every platform.
#include "platform/text_encoding.h"

#include <cstdint>

namespace platform {
namespace {

// Code points of the bytes 0x80..0x9F; the five undefined bytes keep their value.
const uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePointOfByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return kHighControls[b - 0x80];
    return b;
}

bool ByteOfCodePoint(uint32_t cp, unsigned char* b) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        *b = static_cast<unsigned char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) {
            *b = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(uint32_t cp, std::string* out) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[*pos]; false when it is malformed.
bool NextCodePoint(const std::string& text, size_t* pos, uint32_t* cp) {
    unsigned char lead = static_cast<unsigned char>(text[*pos]);
    int extra;
    uint32_t value;
    if (lead < 0x80) {
        extra = 0;
        value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return false;
    }
    if (*pos + extra >= text.size())
        return false;
    for (int i = 1; i <= extra; ++i) {
        unsigned char c = static_cast<unsigned char>(text[*pos + i]);
        if ((c & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (c & 0x3F);
    }
    static const uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    *pos += extra + 1;
    *cp = value;
    return true;
}

} // namespace

bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        uint32_t cp;
        unsigned char b;
        if (!NextCodePoint(utf8, &pos, &cp) || !ByteOfCodePoint(cp, &b))
            return false;
        out += static_cast<char>(b);
    }
    *ansi = out;
    return true;
}

std::string Windows1252ToUtf8(const std::string& ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        AppendUtf8(CodePointOfByte(static_cast<unsigned char>(c)), &out);
    return out;
}

} // namespace platform

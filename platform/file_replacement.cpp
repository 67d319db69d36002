// The names of working files, the same on every platform.
#include "platform/file_replacement.h"

#include <cstdint>

namespace platform {
namespace {

const char kMark[] = ".~vs";
constexpr std::size_t kMarkSize = sizeof kMark - 1;
constexpr std::size_t kUniqueSize = 6;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Counts the calls of this process; an exclusive create takes another name on a clash.
unsigned long long g_calls = 0;

bool LetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

std::string WorkingFileName(const std::string& targetName, const std::string& unique) {
    return targetName + kMark + unique;
}

bool IsWorkingFileName(const std::string& name, const std::string& targetName) {
    const std::size_t size = targetName.size() + kMarkSize + kUniqueSize;
    if (name.size() != size)
        return false;
    const std::string expected = targetName + kMark;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (Lower(name[i]) != Lower(expected[i]))
            return false;
    }
    for (std::size_t i = expected.size(); i < size; ++i) {
        if (!LetterOrDigit(Lower(name[i])))
            return false;
    }
    return true;
}

std::string UniqueLetters(unsigned long long entropy) {
    // What the system gave, the call and where this process's stack lies together.
    const char here = 0;
    unsigned long long value =
        entropy ^ (++g_calls * 0x9E3779B97F4A7C15ull) ^
        (static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&here)) << 17);
    value ^= value >> 29;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 32;
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string unique;
    for (std::size_t i = 0; i < kUniqueSize; ++i) {
        unique += letters[value % 36];
        value /= 36;
    }
    return unique;
}

} // namespace platform

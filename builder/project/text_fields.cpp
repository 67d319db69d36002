// Splitting stored entries: FileName, GetField, the entry forms of the lists and the
// program that Lancio starts.
#include "builder/project/project.h"

#include <cctype>

namespace velaset {

std::string FileName(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetField(const std::string& text, char separator, int n) {
    if (n < 1)
        return std::string();
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        size_t next = text.find(separator, start);
        if (next == std::string::npos)
            return std::string();
        start = next + 1;
    }
    size_t end = text.find(separator, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The destination entry never holds a comma, but a folder name may: the entry is
// split at its last comma, so a path with commas comes back whole instead of cut.
FileEntry FileEntry::FromText(const std::string& text) {
    size_t comma = text.rfind(',');
    if (comma == std::string::npos)
        return FileEntry{text, std::string()};
    return FileEntry{text.substr(0, comma), text.substr(comma + 1)};
}

namespace {

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool LancioStarts(const std::string& lancio, const std::string& name) {
    return SameLetters(lancio, name);
}

LinkEntry LinkEntry::FromText(const std::string& text) {
    return LinkEntry{GetField(text, ',', 1), GetField(text, ',', 2), GetField(text, ',', 3)};
}

} // namespace velaset

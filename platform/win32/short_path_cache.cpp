// Win32: ShortPathCache. Each folder is listed once with FindFirstFileA, whose entries
// carry the short name of every long-named file; the folder's own short form comes from
// GetShortPathNameA once. Anything the listing cannot answer goes to ShortPath.
#include "platform/short_path_cache.h"

#include <windows.h>

#include <unordered_map>

#include "platform/file_access.h"
#include "platform/short_path.h"
#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// One folder as first listed (ANSI texts, as the system gives them).
struct Folder {
    bool listed = false;
    std::string shortForm;                                // the folder's short path
    std::unordered_map<std::string, std::string> shortOf; // upper long name -> short name
};

Folder ListFolder(const std::string& folder) {
    Folder result;
    char buffer[165];
    const DWORD n = GetShortPathNameA(folder.c_str(), buffer, 164);
    if (n == 0 || n >= 164) {
        return result;
    }
    result.shortForm.assign(buffer, n);
    const std::string pattern =
        folder + (folder.back() == '\\' || folder.back() == '/' ? "*" : "\\*");
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return result;
    }
    do {
        // A name that is already 8.3 has no alternate name: it is its own short name.
        const char* shortName =
            entry.cAlternateFileName[0] ? entry.cAlternateFileName : entry.cFileName;
        result.shortOf.emplace(Upper(entry.cFileName), shortName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    result.listed = true;
    return result;
}

} // namespace

struct ShortPathCache::State {
    std::unordered_map<std::string, Folder> folders; // by upper folder path
};

ShortPathCache::ShortPathCache() : state_(new State) {}
ShortPathCache::~ShortPathCache() = default;

std::string ShortPathCache::Resolve(const std::string& path) {
    return ResolvePath(path); // the system opens short paths itself
}

std::string ShortPathCache::ShortPath(const std::string& path) {
    std::string ansi;
    if (path.empty() || !win32::ToAnsi(path, &ansi)) {
        return std::string();
    }
    const size_t cut = ansi.find_last_of("\\/");
    if (cut == std::string::npos || cut == 0 || ansi[cut - 1] == ':' ||
        ansi.find_first_of("*?", cut) != std::string::npos) {
        return platform::ShortPath(path); // a drive root, no folder, or a pattern
    }
    const std::string folderPath = ansi.substr(0, cut);
    const std::string name = ansi.substr(cut + 1);
    auto found = state_->folders.find(Upper(folderPath));
    if (found == state_->folders.end()) {
        found = state_->folders.emplace(Upper(folderPath), ListFolder(folderPath)).first;
    }
    const Folder& folder = found->second;
    const auto known = folder.listed ? folder.shortOf.find(Upper(name)) : folder.shortOf.end();
    if (known == folder.shortOf.end()) {
        return platform::ShortPath(path); // a short alias, a new file, an unlisted folder
    }
    const std::string result = folder.shortForm + ansi[cut] + known->second;
    if (result.size() >= 164) {
        return std::string();
    }
    return Windows1252ToUtf8(result);
}

} // namespace platform

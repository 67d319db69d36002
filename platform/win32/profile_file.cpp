// Win32: profile (INI) files through GetPrivateProfileStringA / WritePrivateProfileStringA.
#include "platform/profile_file.h"

#include <unordered_map>
#include <vector>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize) {
    std::string ansiPath;
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize, ' ');
    if (!win32::ToAnsi(path, &ansiPath)) {
        std::string cut = defaultValue.substr(0, bufferSize - 1);
        return cut;
    }
    DWORD n =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferSize), ansiPath.c_str());
    return std::string(buffer.data(), n);
}

std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize) {
    std::string ansiPath;
    if (bufferSize == 0 || !win32::ToAnsi(path, &ansiPath))
        return std::string();
    std::vector<char> buffer(bufferSize, ' ');
    DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                       static_cast<DWORD>(bufferSize), ansiPath.c_str());
    return std::string(buffer.data(), n);
}

Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value) {
    std::string ansiPath;
    if (!win32::ToAnsi(path, &ansiPath))
        return Status::Failed("il percorso non può essere scritto in Windows-1252",
                              ErrorKind::Refused, Operation::Create, path);
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), ansiPath.c_str()))
        return Status::LastSystemError(Operation::Create, path);
    return Status::Ok();
}

Status DeleteProfileSection(const std::string& path, const std::string& section) {
    std::string ansiPath;
    if (!win32::ToAnsi(path, &ansiPath))
        return Status::Failed("il percorso non può essere scritto in Windows-1252",
                              ErrorKind::Refused, Operation::Create, path);
    if (GetFileAttributesA(ansiPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Status::Ok();
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, ansiPath.c_str()))
        return Status::LastSystemError(Operation::Create, path);
    return Status::Ok();
}

namespace {

// Names compare ignoring the case of ASCII letters, as the project file's names are.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// One of the system's list calls, with a buffer grown until the list fits: the system
// cuts a list that does not fit two characters short of the buffer.
template <typename Call> std::string WholeList(Call call) {
    for (DWORD size = 4096;; size *= 2) {
        std::vector<char> buffer(size);
        DWORD n = call(buffer.data(), size);
        if (n < size - 2 || size >= (1u << 28))
            return std::string(buffer.data(), n);
    }
}

// The NUL-terminated texts of a list.
std::vector<std::string> Items(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos)
            end = list.size();
        items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

} // namespace

// The sections as the system lists them: for each section name, its key=value lines
// in file order. A line without "=" names no key the system would find.
struct ProfileSnapshot::Data {
    struct Section {
        std::vector<std::pair<std::string, std::string>> entries; // name, stored value
        std::unordered_map<std::string, size_t> first;            // folded name -> entry
    };
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> byName; // folded name -> section

    const Section* Find(const std::string& name) const {
        auto found = byName.find(Folded(name));
        return found == byName.end() ? nullptr : &sections[found->second];
    }
};

ProfileSnapshot::ProfileSnapshot(const std::string& path) : data_(new Data) {
    std::string ansiPath;
    if (!win32::ToAnsi(path, &ansiPath))
        return;
    const char* file = ansiPath.c_str();
    const std::string names = WholeList(
        [file](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, file); });
    for (const std::string& name : Items(names)) {
        // The system answers for a name repeated in the file with its first section.
        if (!data_->byName.emplace(Folded(name), data_->sections.size()).second)
            continue;
        Data::Section section;
        const std::string lines = WholeList([file, &name](char* buffer, DWORD size) {
            return GetPrivateProfileSectionA(name.c_str(), buffer, size, file);
        });
        for (const std::string& line : Items(lines)) {
            size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            std::string key = line.substr(0, eq);
            section.first.emplace(Folded(key), section.entries.size());
            section.entries.emplace_back(key, line.substr(eq + 1));
        }
        data_->sections.push_back(std::move(section));
    }
}

ProfileSnapshot::~ProfileSnapshot() = default;

std::string ProfileSnapshot::ReadValue(const std::string& section, const std::string& key,
                                       const std::string& defaultValue,
                                       std::size_t bufferSize) const {
    const Data::Section* s = data_->Find(section);
    if (s != nullptr) {
        auto found = s->first.find(Folded(key));
        if (found != s->first.end())
            return CutToProfileBuffer(UnquotedProfileValue(s->entries[found->second].second),
                                      bufferSize);
    }
    return CutToProfileBuffer(defaultValue, bufferSize);
}

std::string ProfileSnapshot::ReadKeyNames(const std::string& section,
                                          std::size_t bufferSize) const {
    const Data::Section* s = data_->Find(section);
    std::string names;
    if (s != nullptr) {
        for (const auto& entry : s->entries)
            names += entry.first + '\0';
    }
    return CutNamesToProfileBuffer(names, bufferSize);
}

} // namespace platform

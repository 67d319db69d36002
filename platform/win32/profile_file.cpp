// Win32: profile (INI) files through GetPrivateProfileStringA / WritePrivateProfileStringA.
#include "platform/profile_file.h"

#include <algorithm>
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

// The text of a file made of the sections as the system lists them: each section name
// the system gives, then that section's key=value lines as the system gives them (for
// a name repeated in the file, those of its first section, which the dialect too
// finds first). Read by the dialect, this text gives the system's answers: the system
// has already left out what it does not read as keys (comments) and the blanks around
// names and values, and the one pair of quotes it takes off a value when it reads it
// the dialect takes off too. (A line with an empty name, which the system would give
// for an empty key name, is no key to the dialect; nothing reads such a key.)
std::string SectionsAsTheSystemReadsThem(const std::string& ansiPath) {
    const char* file = ansiPath.c_str();
    const std::string names = WholeList([file](char* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesA(buffer, size, file);
    });
    std::string text;
    for (size_t start = 0, end; start < names.size(); start = end + 1) {
        end = std::min(names.find('\0', start), names.size());
        const std::string name = names.substr(start, end - start);
        text += "[" + name + "]\r\n";
        const std::string lines = WholeList([file, &name](char* buffer, DWORD size) {
            return GetPrivateProfileSectionA(name.c_str(), buffer, size, file);
        });
        for (size_t from = 0, to; from < lines.size(); from = to + 1) {
            to = std::min(lines.find('\0', from), lines.size());
            text += lines.substr(from, to - from) + "\r\n";
        }
    }
    return text;
}

} // namespace

struct ProfileSnapshot::Data {
    ProfileText text;
};

ProfileSnapshot::ProfileSnapshot(const std::string& path) : data_(new Data) {
    std::string ansiPath;
    if (win32::ToAnsi(path, &ansiPath))
        data_->text = ProfileText(SectionsAsTheSystemReadsThem(ansiPath));
}

ProfileSnapshot::ProfileSnapshot(const std::string&, const std::string& bytes) : data_(new Data) {
    data_->text = ProfileText(bytes);
}

ProfileSnapshot::~ProfileSnapshot() = default;

std::string ProfileSnapshot::ReadValue(const std::string& section, const std::string& key,
                                       const std::string& defaultValue,
                                       std::size_t bufferSize) const {
    std::string stored;
    if (data_->text.Find(section, key, &stored))
        return CutToProfileBuffer(UnquotedProfileValue(stored), bufferSize);
    return CutToProfileBuffer(defaultValue, bufferSize);
}

std::string ProfileSnapshot::ReadKeyNames(const std::string& section,
                                          std::size_t bufferSize) const {
    return CutNamesToProfileBuffer(data_->text.KeyNames(section), bufferSize);
}

} // namespace platform

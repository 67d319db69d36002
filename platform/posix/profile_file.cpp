// POSIX: profile (INI) files in the dialect of the Windows profile functions, on the
// file's bytes (platform/profile_text.h).
#include "platform/profile_file.h"

#include "platform/whole_file.h"

namespace platform {
namespace {

// The file's text; an absent or unreadable file reads as an empty one.
ProfileText ReadText(const std::string& path) {
    std::string bytes;
    bool exists;
    bool fromUtf8;
    std::size_t badLine;
    if (!ReadWholeFile(path, &bytes, &exists) ||
        !ProfileBytesOfFile(bytes, &bytes, &fromUtf8, &badLine))
        bytes.clear();
    return ProfileText(bytes);
}

std::string ValueIn(const ProfileText& text, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t bufferSize) {
    std::string stored;
    if (text.Find(section, key, &stored))
        return CutToProfileBuffer(UnquotedProfileValue(stored), bufferSize);
    return CutToProfileBuffer(defaultValue, bufferSize);
}

} // namespace

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize) {
    return ValueIn(ReadText(path), section, key, defaultValue, bufferSize);
}

std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize) {
    return CutNamesToProfileBuffer(ReadText(path).KeyNames(section), bufferSize);
}

Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value) {
    ProfileEdit edit(path);
    edit.WriteValue(section, key, value);
    return edit.Commit();
}

Status DeleteProfileSection(const std::string& path, const std::string& section) {
    ProfileEdit edit(path);
    if (!edit.Opened())
        return Status::Ok(); // nothing to remove from a file that cannot be read
    edit.DeleteSection(section);
    return edit.Commit();
}

struct ProfileSnapshot::Data {
    ProfileText text;
};

ProfileSnapshot::ProfileSnapshot(const std::string& path) : data_(new Data{ReadText(path)}) {}

ProfileSnapshot::ProfileSnapshot(const std::string&, const std::string& bytes)
    : data_(new Data{ProfileText(bytes)}) {}

ProfileSnapshot::~ProfileSnapshot() = default;

std::string ProfileSnapshot::ReadValue(const std::string& section, const std::string& key,
                                       const std::string& defaultValue,
                                       std::size_t bufferSize) const {
    return ValueIn(data_->text, section, key, defaultValue, bufferSize);
}

std::string ProfileSnapshot::ReadKeyNames(const std::string& section,
                                          std::size_t bufferSize) const {
    return CutNamesToProfileBuffer(data_->text.KeyNames(section), bufferSize);
}

} // namespace platform

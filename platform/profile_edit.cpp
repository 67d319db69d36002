// A profile file edited in memory and put in place of the file in one step.
#include "platform/profile_file.h"
#include "platform/whole_file.h"

namespace platform {

ProfileEdit::ProfileEdit(const std::string& path, bool fromFile)
    : path_(path), changed_(!fromFile) {
    if (!fromFile)
        return;
    std::string bytes;
    bool exists;
    opened_ = ReadWholeFile(path, &bytes, &exists);
    bool fromUtf8 = false;
    std::size_t badLine = 0;
    if (opened_ && !ProfileBytesOfFile(bytes, &bytes, &fromUtf8, &badLine))
        opened_ = Status::Failed("il file è in UTF-8 (comincia con il segno BOM) e la riga " +
                                     std::to_string(badLine) +
                                     " non è UTF-8 valido o ha caratteri che Windows-1252 non ha",
                                 ErrorKind::Refused, Operation::Read, path);
    if (opened_)
        text_ = ProfileText(bytes);
    // The file is written back in Windows-1252, without the mark.
    changed_ = changed_ || fromUtf8;
}

std::string ProfileEdit::ReadValue(const std::string& section, const std::string& key,
                                   const std::string& defaultValue,
                                   std::size_t bufferSize) const {
    std::string stored;
    if (text_.Find(section, key, &stored))
        return CutToProfileBuffer(UnquotedProfileValue(stored), bufferSize);
    return CutToProfileBuffer(defaultValue, bufferSize);
}

std::string ProfileEdit::ReadKeyNames(const std::string& section, std::size_t bufferSize) const {
    return CutNamesToProfileBuffer(text_.KeyNames(section), bufferSize);
}

void ProfileEdit::WriteValue(const std::string& section, const std::string& key,
                             const std::string& value) {
    text_.Write(section, key, value);
    changed_ = true;
}

void ProfileEdit::DeleteSection(const std::string& section) {
    changed_ = text_.DeleteSection(section) || changed_;
}

Status ProfileEdit::Commit() {
    if (!opened_)
        return opened_;
    if (!changed_)
        return Status::Ok();
    Status replaced = ReplaceWholeFile(path_, text_.Bytes());
    if (replaced)
        changed_ = false;
    return replaced;
}

} // namespace platform

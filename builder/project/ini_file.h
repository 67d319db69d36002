// cIniFile: one access to a value of an INI file (the project file), and the two
// module functions ReadIni / WriteIni built on it. Texts are UTF-8 here and
// Windows-1252 in the file; each call goes to the platform's profile-file service.
#ifndef VELASET_BUILDER_PROJECT_INI_FILE_H
#define VELASET_BUILDER_PROJECT_INI_FILE_H

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace velaset {

class cIniFile {
  public:
    int32_t LastReturnCode() const { return lastReturnCode_; }
    void SetDefault(const std::string& text) { default_ = text; }
    const std::string& Default() const { return default_; }
    void SetPath(const std::string& text) { path_ = text; }
    const std::string& Path() const { return path_; }
    void SetKey(const std::string& text) { key_ = text; }
    const std::string& Key() const { return key_; }
    void SetSection(const std::string& text) { section_ = text; }
    const std::string& Section() const { return section_; }

    // The value of Key in Section of Path, Default when absent; the whole value,
    // however long (the read grows its buffer until the value fits).
    std::string Value() const;

    // Writes the value (NUL characters removed). A value that the profile dialect
    // would change on reading (blanks at its ends, enclosing quotes) is written inside
    // one pair of double quotes, which the read takes off again. Refused when the
    // text does not fit Windows-1252 or holds a line break. LastReturnCode is
    // non-zero after a successful write, 0 after a failed one.
    platform::Status SetValue(const std::string& value);

    // Removes Section with all its keys.
    platform::Status DeleteSection();

    // The names of all keys of Section, each followed by NUL.
    std::string INISection() const;

  private:
    std::string path_;
    std::string key_;
    std::string section_;
    std::string default_;
    int32_t lastReturnCode_ = 0;
};

// The value of key in section of file; the empty text when absent.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);

// Writes one value; the result says whether the write succeeded, and why not.
platform::Status WriteIni(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value);

} // namespace velaset

#endif

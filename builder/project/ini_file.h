// cIniFile: one access to a value of an INI file (the project file), and the two
// module functions ReadIni / WriteIni built on it. Texts are UTF-8 here and
// Windows-1252 in the file; each call goes to the platform's profile-file service,
// which reads or writes the whole file, unless a reading or an editing of the file is
// open (below): then the calls work on one copy of the file in memory.
#ifndef VELASET_BUILDER_PROJECT_INI_FILE_H
#define VELASET_BUILDER_PROJECT_INI_FILE_H

#include <cstdint>
#include <memory>
#include <string>

#include "platform/profile_file.h"
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

// What IniFileReading and IniFileEditing share: while one lives, the calls above on its
// file (the same path text) go to it. An editing answers the reads of its file before
// any reading does; of two readings the newer answers. One editing per file at a time;
// one thread.
class IniFileSession {
  public:
    IniFileSession(const IniFileSession&) = delete;
    IniFileSession& operator=(const IniFileSession&) = delete;

  protected:
    explicit IniFileSession(const std::string& file);
    ~IniFileSession();

    std::unique_ptr<platform::ProfileSnapshot> snapshot_; // a reading
    std::unique_ptr<platform::ProfileEdit> edit_;         // an editing

  private:
    friend class cIniFile;
    static IniFileSession* Of(const std::string& file);

    std::string file_;
    IniFileSession* previous_;
};

// The file read once, when this is made: its reads are answered as the file then was.
// A write to the file through the calls above meanwhile goes to the file, then the
// file is read again.
class IniFileReading : public IniFileSession {
  public:
    explicit IniFileReading(const std::string& file);
    // The file's bytes, read already (and turned into Windows-1252 where they were not).
    IniFileReading(const std::string& file, const std::string& bytes);
};

// The file edited in memory: its writes change the copy (its reads see them), and
// Commit writes the whole file once, in place of the old one in one step. Dropped
// without Commit, the file stays as it was.
class IniFileEditing : public IniFileSession {
  public:
    enum class Start {
        FromFile, // the file as it is (absent: empty)
        Empty,    // an empty file, whatever is there now: a commit replaces it whole
    };
    explicit IniFileEditing(const std::string& file, Start start = Start::FromFile);

    // Why the file could not be read; a commit then writes nothing.
    const platform::Status& Opened() const { return edit_->Opened(); }

    // Writes the file; the failure names the file.
    platform::Status Commit() { return edit_->Commit(); }

    // The whole file as it stands in memory (Windows-1252, CR LF).
    std::string Bytes() const { return edit_->Bytes(); }
};

// The value of key in section of file; the empty text when absent.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);

// Writes one value; the result says whether the write succeeded, and why not.
platform::Status WriteIni(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value);

} // namespace velaset

#endif

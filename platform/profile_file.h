// Profile (INI) files: the platform's GetPrivateProfileString / WritePrivateProfileString
// service. Section, key and value texts are the bytes that the file holds (Windows-1252);
// paths are UTF-8. Every call of the four functions reads or writes the whole file;
// nothing is cached between them. Where many values are read or written at once, a
// ProfileSnapshot reads the file once and a ProfileEdit writes it once.
//
// Dialect (Windows, emulated on POSIX): section and key names compare ignoring case;
// blanks around names and values are dropped; a value enclosed in one pair of quotes
// (" or ') loses them on reading; a written key replaces the first one of that name in
// place; a new key goes after the last line of its section; a new section goes at the
// end of the file; lines end with CR LF; reading an absent file creates nothing.
#ifndef VELASET_PLATFORM_PROFILE_FILE_H
#define VELASET_PLATFORM_PROFILE_FILE_H

#include <cstddef>
#include <memory>
#include <string>

#include "platform/profile_text.h"
#include "platform/status.h"

namespace platform {

// The value of key in section, or defaultValue when the file, the section or the key
// is absent. As with a buffer of bufferSize characters, the result holds at most
// bufferSize - 1 bytes (a longer value comes back cut).
std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize);

// The names of all keys of section, each followed by NUL, cut to fit a buffer of
// bufferSize characters; empty when the file or section is absent.
std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize);

// Writes key=value into section, creating the file and the section when absent.
Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value);

// Removes section with all its keys (success when there is no such section).
Status DeleteProfileSection(const std::string& path, const std::string& section);

// A profile file read once: its reads answer as ReadProfileValue and ReadProfileKeyNames
// would have answered at the moment it was taken. On Windows it is taken through the
// system's profile calls (the list of sections, then each section's key=value lines),
// so the system's reading of the file holds; on POSIX it is the file's bytes read by
// the dialect. A file that cannot be read reads as an absent one. (On Windows a key
// whose name starts with ";" reads as absent: the system lists no such line, though
// it finds one asked for by name. No key of the project file starts so.)
class ProfileSnapshot {
  public:
    explicit ProfileSnapshot(const std::string& path);
    // The bytes of the file at path, read already (ProfileBytesOfFile), by the dialect.
    ProfileSnapshot(const std::string& path, const std::string& bytes);
    ~ProfileSnapshot();
    ProfileSnapshot(const ProfileSnapshot&) = delete;
    ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) const;
    std::string ReadKeyNames(const std::string& section, std::size_t bufferSize) const;

  private:
    struct Data;
    std::unique_ptr<Data> data_;
};

// A profile file edited in memory and written once. It starts from the file's bytes
// (a file in UTF-8 with its byte order mark as Windows-1252, which the commit writes);
// writes follow the dialect (on Windows as the system edits a file in place), and
// Commit puts the result in place of the file in one step (ReplaceWholeFile): the file
// is never seen half-written, and it is left as it was when the commit fails.
class ProfileEdit {
  public:
    // fromFile false: the edit starts from an empty file, whatever is at path now, and
    // Commit writes even when nothing was written.
    explicit ProfileEdit(const std::string& path, bool fromFile = true);

    // Why the file could not be read (or, in UTF-8, turned into Windows-1252); Commit
    // then refuses to write over it.
    const Status& Opened() const { return opened_; }

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) const;
    std::string ReadKeyNames(const std::string& section, std::size_t bufferSize) const;
    void WriteValue(const std::string& section, const std::string& key,
                    const std::string& value);
    void DeleteSection(const std::string& section);

    // Writes the file when anything was written or removed since it was opened.
    Status Commit();

    // The whole file as a commit would write it now.
    std::string Bytes() const { return text_.Bytes(); }

  private:
    std::string path_;
    Status opened_;
    ProfileText text_;
    bool changed_ = false;
};

} // namespace platform

#endif

// The bytes of a profile (INI) file held in memory and read and edited by the rules of
// the profile dialect (platform/profile_file.h), with an index of its sections and
// keys: a read or a write costs about the same whatever the size of the file, and the
// bytes after any sequence of writes are those that the same writes, each one reading
// and rewriting the whole file, would have left.
#ifndef VELASET_PLATFORM_PROFILE_TEXT_H
#define VELASET_PLATFORM_PROFILE_TEXT_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

class ProfileText {
  public:
    // The lines of bytes; a line ends at CR LF, at LF or at a CR alone.
    explicit ProfileText(const std::string& bytes = std::string());

    // The stored value of key in section (blanks around it dropped, quotes kept);
    // false when the section or the key is absent.
    bool Find(const std::string& section, const std::string& key, std::string* value) const;

    // The names of the keys of section in file order, each followed by NUL.
    std::string KeyNames(const std::string& section) const;

    // key=value into section: the first key of that name is replaced in place (its
    // stored spelling kept), a new key goes after the last line of its section, a new
    // section at the end.
    void Write(const std::string& section, const std::string& key, const std::string& value);

    // Removes section with all its lines; false when it is absent.
    bool DeleteSection(const std::string& section);

    // The whole file.
    std::string Bytes() const;

  private:
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n", "\r", or "" for a last line without one
    };
    // The lines from one section header to the next; the first one holds the lines
    // before the first header and has no header.
    struct Section {
        Line header;
        std::vector<Line> body;
        std::unordered_map<std::string, std::size_t> keys; // folded name -> first key line
        std::size_t filledEnd = 0; // body lines up to the last one that is not blank
        bool removed = false;      // taken out of the file by DeleteSection
    };

    void Parse(const std::string& bytes);
    void AddLine(Line line);
    void IndexSections();
    Section* FindSection(const std::string& section);
    const Section* FindSection(const std::string& section) const;
    Line* LastLine();

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> firstSection_; // folded name -> index
};

// The bytes of a profile file as the dialect takes them: a file that starts with the
// UTF-8 byte order mark holds UTF-8 text, which becomes Windows-1252 (*fromUtf8 true);
// any other file is Windows-1252 already. False when a file with the mark holds no valid
// UTF-8 or a character that Windows-1252 has not: *badLine is then the number (from 1)
// of the first line that does, and *bytes is left as it was.
bool ProfileBytesOfFile(const std::string& raw, std::string* bytes, bool* fromUtf8,
                        std::size_t* badLine);

// How the dialect reads a stored value: one pair of the same enclosing quotes (" or ')
// is taken off.
std::string UnquotedProfileValue(const std::string& stored);

// A text handed over as a C string in a buffer of bufferSize characters: cut at its
// first NUL, then to bufferSize - 1 bytes.
std::string CutToProfileBuffer(const std::string& text, std::size_t bufferSize);

// A list of NUL-terminated names cut as the system cuts one that does not fit a buffer
// of bufferSize characters: two characters short of it.
std::string CutNamesToProfileBuffer(const std::string& names, std::size_t bufferSize);

} // namespace platform

#endif

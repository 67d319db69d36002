// The profile dialect on the bytes of a file held in memory.
#include "platform/profile_text.h"

#include "platform/text_encoding.h"

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

// Names compare ignoring the case of ASCII letters, as strcasecmp does in the C locale.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// True (and *name set) when the line is a section header "[name]".
bool SectionName(const std::string& text, std::string* name) {
    std::string t = Trim(text);
    if (t.empty() || t[0] != '[')
        return false;
    size_t close = t.find(']');
    *name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// True (and *name, *value set) when the line is "name=value" with a name.
bool KeyLine(const std::string& text, std::string* name, std::string* value) {
    size_t eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    *name = Trim(text.substr(0, eq));
    *value = Trim(text.substr(eq + 1));
    return !name->empty();
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

} // namespace

ProfileText::ProfileText(const std::string& bytes) {
    Parse(bytes);
}

void ProfileText::Parse(const std::string& bytes) {
    sections_.clear();
    sections_.emplace_back();
    size_t start = 0;
    while (start < bytes.size()) {
        size_t textEnd = bytes.find_first_of("\r\n", start);
        Line line;
        if (textEnd == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            size_t next = textEnd + 1;
            if (bytes[textEnd] == '\r' && next < bytes.size() && bytes[next] == '\n')
                ++next;
            line.text = bytes.substr(start, textEnd - start);
            line.end = bytes.substr(textEnd, next - textEnd);
            start = next;
        }
        AddLine(std::move(line));
    }
    IndexSections();
}

// Appends a line read from the file: a header starts a section, any other line goes
// into the last one.
void ProfileText::AddLine(Line line) {
    std::string name, value;
    if (SectionName(line.text, &name)) {
        sections_.emplace_back();
        sections_.back().header = std::move(line);
        return;
    }
    Section& section = sections_.back();
    if (KeyLine(line.text, &name, &value))
        section.keys.emplace(Folded(name), section.body.size()); // the first one counts
    if (!Trim(line.text).empty())
        section.filledEnd = section.body.size() + 1;
    section.body.push_back(std::move(line));
}

void ProfileText::IndexSections() {
    firstSection_.clear();
    for (size_t i = 1; i < sections_.size(); ++i) {
        std::string name;
        if (sections_[i].removed)
            continue;
        SectionName(sections_[i].header.text, &name);
        firstSection_.emplace(Folded(name), i);
    }
}

ProfileText::Section* ProfileText::FindSection(const std::string& section) {
    auto found = firstSection_.find(Folded(section));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

const ProfileText::Section* ProfileText::FindSection(const std::string& section) const {
    auto found = firstSection_.find(Folded(section));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

ProfileText::Line* ProfileText::LastLine() {
    for (size_t i = sections_.size(); i-- > 0;) {
        if (sections_[i].removed)
            continue;
        if (!sections_[i].body.empty())
            return &sections_[i].body.back();
        if (i > 0)
            return &sections_[i].header;
    }
    return nullptr;
}

bool ProfileText::Find(const std::string& section, const std::string& key,
                       std::string* value) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return false;
    auto found = s->keys.find(Folded(key));
    if (found == s->keys.end())
        return false;
    std::string name;
    KeyLine(s->body[found->second].text, &name, value);
    return true;
}

std::string ProfileText::KeyNames(const std::string& section) const {
    const Section* s = FindSection(section);
    std::string names;
    if (s == nullptr)
        return names;
    for (const Line& line : s->body) {
        std::string name, value;
        if (KeyLine(line.text, &name, &value))
            names += name + '\0';
    }
    return names;
}

void ProfileText::Write(const std::string& section, const std::string& key,
                        const std::string& value) {
    Line line{key + "=" + value, "\r\n"};
    std::string header;
    // A line that the next reading of the file would not take as this key (it breaks
    // into several lines, or reads as a section header) is written, then the whole text
    // is read again, as the next call on the file would.
    const bool rereadAfter = HasLineBreak(section) || HasLineBreak(line.text) ||
                             SectionName(line.text, &header);
    Section* s = FindSection(section);
    if (s == nullptr) {
        if (Line* last = LastLine()) {
            if (last->end.empty())
                last->end = "\r\n";
        }
        sections_.emplace_back();
        sections_.back().header = Line{"[" + section + "]", "\r\n"};
        AddLine(std::move(line));
        if (rereadAfter) {
            Parse(Bytes());
            return;
        }
        std::string name;
        SectionName(sections_.back().header.text, &name);
        firstSection_.emplace(Folded(name), sections_.size() - 1);
        return;
    }
    auto found = s->keys.find(Folded(key));
    if (found != s->keys.end()) {
        Line& stored = s->body[found->second];
        std::string name, oldValue;
        KeyLine(stored.text, &name, &oldValue);
        stored.text = name + "=" + value; // the stored spelling of the key stays
        if (stored.end.empty())
            stored.end = "\r\n";
    } else {
        Line& before = s->filledEnd == 0 ? s->header : s->body[s->filledEnd - 1];
        if (before.end.empty())
            before.end = "\r\n";
        // Only blank lines follow the last filled one, so no key line moves.
        const size_t at = s->filledEnd;
        std::string name, stored;
        if (KeyLine(line.text, &name, &stored))
            s->keys.emplace(Folded(name), at);
        s->body.insert(s->body.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        s->filledEnd = at + 1;
    }
    if (rereadAfter)
        Parse(Bytes());
}

bool ProfileText::DeleteSection(const std::string& section) {
    auto found = firstSection_.find(Folded(section));
    if (found == firstSection_.end())
        return false;
    // Left in place but out of the file: no other section moves.
    Section& removed = sections_[found->second];
    removed.removed = true;
    removed.body.clear();
    removed.keys.clear();
    IndexSections();
    return true;
}

std::string ProfileText::Bytes() const {
    std::string bytes;
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].removed)
            continue;
        if (i > 0)
            bytes += sections_[i].header.text + sections_[i].header.end;
        for (const Line& line : sections_[i].body)
            bytes += line.text + line.end;
    }
    return bytes;
}

bool ProfileBytesOfFile(const std::string& raw, std::string* bytes, bool* fromUtf8,
                        std::size_t* badLine) {
    static const char kMark[] = "\xEF\xBB\xBF";
    *fromUtf8 = raw.compare(0, 3, kMark) == 0;
    if (!*fromUtf8) {
        *bytes = raw;
        return true;
    }
    std::string converted;
    std::size_t line = 1;
    for (std::size_t start = 3; start < raw.size(); ++line) {
        std::size_t end = raw.find('\n', start);
        end = end == std::string::npos ? raw.size() : end + 1;
        std::string ansi;
        if (!Utf8ToWindows1252(raw.substr(start, end - start), &ansi)) {
            *badLine = line;
            return false;
        }
        converted += ansi;
        start = end;
    }
    *bytes = converted;
    return true;
}

std::string UnquotedProfileValue(const std::string& stored) {
    if (stored.size() >= 2 && (stored[0] == '"' || stored[0] == '\'') &&
        stored.back() == stored[0])
        return stored.substr(1, stored.size() - 2);
    return stored;
}

std::string CutToProfileBuffer(const std::string& text, std::size_t bufferSize) {
    if (bufferSize == 0)
        return std::string();
    std::string value = text.substr(0, text.find('\0'));
    return value.size() < bufferSize ? value : value.substr(0, bufferSize - 1);
}

std::string CutNamesToProfileBuffer(const std::string& names, std::size_t bufferSize) {
    if (bufferSize >= 2 && names.size() > bufferSize - 2)
        return names.substr(0, bufferSize - 2);
    return names;
}

} // namespace platform

// POSIX: profile (INI) files in the dialect of the Windows profile functions.
#include "platform/profile_file.h"

#include <cerrno>
#include <strings.h>
#include <vector>

#include "platform/file_access.h"

namespace platform {
namespace {

// One line of the file as it was read, with its line end (if any) kept.
struct Line {
    std::string text; // without the line end
    std::string end;  // "\r\n", "\n", "\r", or "" for a last line without one
};

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

// True (and *name set) when the line is a section header "[name]".
bool SectionName(const Line& line, std::string* name) {
    std::string t = Trim(line.text);
    if (t.empty() || t[0] != '[')
        return false;
    size_t close = t.find(']');
    *name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// True (and *name, *value set) when the line is "name=value".
bool KeyLine(const Line& line, std::string* name, std::string* value) {
    size_t eq = line.text.find('=');
    if (eq == std::string::npos)
        return false;
    *name = Trim(line.text.substr(0, eq));
    *value = Trim(line.text.substr(eq + 1));
    return !name->empty();
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Reads the whole file; false when it does not exist or cannot be read.
bool ReadLines(const std::string& path, std::vector<Line>* lines) {
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr)
        return false;
    std::string data;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    std::fclose(f);
    lines->clear();
    // A line ends at CR LF, at LF or, as on Windows, at a CR alone.
    size_t start = 0;
    while (start < data.size()) {
        size_t textEnd = data.find_first_of("\r\n", start);
        Line line;
        if (textEnd == std::string::npos) {
            line.text = data.substr(start);
            start = data.size();
        } else {
            size_t next = textEnd + 1;
            if (data[textEnd] == '\r' && next < data.size() && data[next] == '\n')
                ++next;
            line.text = data.substr(start, textEnd - start);
            line.end = data.substr(textEnd, next - textEnd);
            start = next;
        }
        lines->push_back(line);
    }
    return true;
}

Status WriteLines(const std::string& path, const std::vector<Line>& lines) {
    std::string data;
    for (const Line& line : lines)
        data += line.text + line.end;
    std::FILE* f = OpenFile(path, "wb");
    if (f == nullptr)
        return Status::LastSystemError(Operation::Create, path);
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fflush(f) == 0 && ok;
    int savedErrno = errno;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        if (errno == 0)
            errno = savedErrno;
        return Status::LastSystemError(Operation::Create, path);
    }
    return Status::Ok();
}

// The index of the header of section, or -1; *end is one past its last line.
int FindSection(const std::vector<Line>& lines, const std::string& section, size_t* end) {
    int header = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!SectionName(lines[i], &name))
            continue;
        if (header >= 0) {
            *end = i;
            return header;
        }
        if (SameName(name, section))
            header = static_cast<int>(i);
    }
    *end = lines.size();
    return header;
}

// A value enclosed in one pair of the same quotes loses them.
std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// The system hands values over as C strings: a NUL byte in the file ends the value.
std::string CutToBuffer(const std::string& text, std::size_t bufferSize) {
    if (bufferSize == 0)
        return std::string();
    std::string value = text.substr(0, text.find('\0'));
    return value.size() < bufferSize ? value : value.substr(0, bufferSize - 1);
}

} // namespace

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize) {
    std::vector<Line> lines;
    size_t end;
    int header;
    if (!ReadLines(path, &lines) || (header = FindSection(lines, section, &end)) < 0)
        return CutToBuffer(defaultValue, bufferSize);
    for (size_t i = header + 1; i < end; ++i) {
        std::string name, value;
        if (KeyLine(lines[i], &name, &value) && SameName(name, key))
            return CutToBuffer(Unquote(value), bufferSize);
    }
    return CutToBuffer(defaultValue, bufferSize);
}

std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize) {
    std::vector<Line> lines;
    size_t end;
    int header;
    if (!ReadLines(path, &lines) || (header = FindSection(lines, section, &end)) < 0)
        return std::string();
    std::string names;
    for (size_t i = header + 1; i < end; ++i) {
        std::string name, value;
        if (KeyLine(lines[i], &name, &value))
            names += name + '\0';
    }
    // Like the system: a list that does not fit is cut two characters short of the
    // buffer (room for the closing NULs).
    if (bufferSize >= 2 && names.size() > bufferSize - 2)
        names.resize(bufferSize - 2);
    return names;
}

Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value) {
    std::vector<Line> lines;
    if (!ReadLines(path, &lines) && errno != ENOENT)
        return Status::LastSystemError(Operation::Append, path);
    size_t end;
    int header = FindSection(lines, section, &end);
    if (header < 0) {
        if (!lines.empty() && lines.back().end.empty())
            lines.back().end = "\r\n";
        lines.push_back({"[" + section + "]", "\r\n"});
        lines.push_back({key + "=" + value, "\r\n"});
        return WriteLines(path, lines);
    }
    size_t lastFilled = header;
    for (size_t i = header + 1; i < end; ++i) {
        std::string name, oldValue;
        if (KeyLine(lines[i], &name, &oldValue) && SameName(name, key)) {
            lines[i].text = name + "=" + value; // the stored spelling of the key stays
            if (lines[i].end.empty())
                lines[i].end = "\r\n";
            return WriteLines(path, lines);
        }
        if (!Trim(lines[i].text).empty())
            lastFilled = i;
    }
    if (lines[lastFilled].end.empty())
        lines[lastFilled].end = "\r\n";
    lines.insert(lines.begin() + lastFilled + 1, Line{key + "=" + value, "\r\n"});
    return WriteLines(path, lines);
}

Status DeleteProfileSection(const std::string& path, const std::string& section) {
    std::vector<Line> lines;
    if (!ReadLines(path, &lines))
        return Status::Ok();
    size_t end;
    int header = FindSection(lines, section, &end);
    if (header < 0)
        return Status::Ok();
    lines.erase(lines.begin() + header, lines.begin() + end);
    return WriteLines(path, lines);
}

} // namespace platform

// The profile dialect in its plainest form, as the tests' model of the indexed ProfileText:
// every operation splits the whole text into lines, walks them from the top and joins them.
#ifndef VELASET_TESTS_PLATFORM_PROFILE_REFERENCE_H
#define VELASET_TESTS_PLATFORM_PROFILE_REFERENCE_H

#include <algorithm>
#include <string>
#include <vector>

namespace velaset_test {
namespace reference {

struct Line {
    std::string text;
    std::string end;
};

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

inline std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

inline bool SectionName(const Line& line, std::string* name) {
    std::string t = Trim(line.text);
    if (t.empty() || t[0] != '[')
        return false;
    size_t close = t.find(']');
    *name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

inline bool KeyLine(const Line& line, std::string* name, std::string* value) {
    size_t eq = line.text.find('=');
    if (eq == std::string::npos)
        return false;
    *name = Trim(line.text.substr(0, eq));
    *value = Trim(line.text.substr(eq + 1));
    return !name->empty();
}

inline char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letter case of ASCII letters aside, as strcasecmp in the C locale.
inline bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

inline std::vector<Line> Split(const std::string& data) {
    std::vector<Line> lines;
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
        lines.push_back(line);
    }
    return lines;
}

inline std::string Join(const std::vector<Line>& lines) {
    std::string data;
    for (const Line& line : lines)
        data += line.text + line.end;
    return data;
}

// The header of the first section of that name, or -1; *end is one past its last line.
inline int FindSection(const std::vector<Line>& lines, const std::string& section, size_t* end) {
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

inline bool Find(const std::string& data, const std::string& section, const std::string& key,
                 std::string* value) {
    std::vector<Line> lines = Split(data);
    size_t end;
    int header = FindSection(lines, section, &end);
    if (header < 0)
        return false;
    for (size_t i = header + 1; i < end; ++i) {
        std::string name;
        if (KeyLine(lines[i], &name, value) && SameName(name, key))
            return true;
    }
    return false;
}

inline std::string KeyNames(const std::string& data, const std::string& section) {
    std::vector<Line> lines = Split(data);
    size_t end;
    int header = FindSection(lines, section, &end);
    std::string names;
    for (size_t i = header + 1; header >= 0 && i < end; ++i) {
        std::string name, value;
        if (KeyLine(lines[i], &name, &value))
            names += name + '\0';
    }
    return names;
}

inline std::string Write(const std::string& data, const std::string& section,
                         const std::string& key, const std::string& value) {
    std::vector<Line> lines = Split(data);
    size_t end;
    int header = FindSection(lines, section, &end);
    if (header < 0) {
        if (!lines.empty() && lines.back().end.empty())
            lines.back().end = "\r\n";
        lines.push_back({"[" + section + "]", "\r\n"});
        lines.push_back({key + "=" + value, "\r\n"});
        return Join(lines);
    }
    size_t lastFilled = header;
    for (size_t i = header + 1; i < end; ++i) {
        std::string name, oldValue;
        if (KeyLine(lines[i], &name, &oldValue) && SameName(name, key)) {
            lines[i].text = name + "=" + value;
            if (lines[i].end.empty())
                lines[i].end = "\r\n";
            return Join(lines);
        }
        if (!Trim(lines[i].text).empty())
            lastFilled = i;
    }
    if (lines[lastFilled].end.empty())
        lines[lastFilled].end = "\r\n";
    lines.insert(lines.begin() + lastFilled + 1, Line{key + "=" + value, "\r\n"});
    return Join(lines);
}

inline std::string DeleteSection(const std::string& data, const std::string& section) {
    std::vector<Line> lines = Split(data);
    size_t end;
    int header = FindSection(lines, section, &end);
    if (header >= 0)
        lines.erase(lines.begin() + header, lines.begin() + end);
    return Join(lines);
}

} // namespace reference
} // namespace velaset_test

#endif

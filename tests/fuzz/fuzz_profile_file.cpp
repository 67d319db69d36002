// Fuzzes the profile-file service with arbitrary bytes as the file: reading a value or
// the key names never fails or overruns its buffer, and a value written into any file
// reads back as written while another key keeps its value. The indexed text of the
// file in memory reads and writes any bytes as the plain whole-file model does.
#include <string>
#include <strings.h>

#include "platform/profile_file.h"
#include "platform/profile_text.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/platform/profile_reference.h"

using fuzz::Fail;

namespace {

const char* const kAbsent = "\x01"
                            "absent";

// A name or value as the callers of the service pass them: one line, without the
// forbidden characters, no blanks at the ends.
std::string Clean(const std::string& text, const std::string& forbidden) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\0' && forbidden.find(c) == std::string::npos)
            out += c;
    return fuzz::Trim(out, " \t");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string section = in.ConsumeRandomLengthString(24);
    std::string key = in.ConsumeRandomLengthString(24);
    std::string otherSection = in.ConsumeRandomLengthString(24);
    std::string otherKey = in.ConsumeRandomLengthString(24);
    std::string value = in.ConsumeRandomLengthString(300);
    size_t bufferSize = in.ConsumeIntegralInRange<size_t>(0, 300);
    std::string content = in.ConsumeRemainingBytesAsString();
    // Any bytes and any names, before the write below cleans them: the indexed text
    // and the model agree on reads and on the bytes a write leaves.
    {
        namespace reference = velaset_test::reference;
        platform::ProfileText text(content);
        if (text.Bytes() != content)
            Fail("the text of the file changed on reading");
        std::string indexed, plain;
        bool found = text.Find(otherSection, otherKey, &indexed);
        if (found != reference::Find(content, otherSection, otherKey, &plain) ||
            (found && indexed != plain))
            Fail("[" + otherSection + "] " + otherKey + " reads otherwise than the model");
        if (text.KeyNames(section) != reference::KeyNames(content, section))
            Fail("the key names of [" + section + "] differ from the model's");
        text.Write(section, key, value);
        if (text.Bytes() != reference::Write(content, section, key, value))
            Fail("writing [" + section + "] " + key + " left other bytes than the model");
        text.DeleteSection(otherSection);
        if (text.Bytes() !=
            reference::DeleteSection(reference::Write(content, section, key, value), otherSection))
            Fail("removing [" + otherSection + "] left other bytes than the model");
    }
    const std::string path = fuzz::WriteFixtureFile("fuzz.ini", content.data(), content.size());

    // Reads of anything: the result always fits the buffer.
    std::string read = platform::ReadProfileValue(path, section, key, "", bufferSize);
    if (bufferSize > 0 ? read.size() > bufferSize - 1 : !read.empty())
        Fail("value longer than the buffer: " + std::to_string(read.size()));
    std::string names = platform::ReadProfileKeyNames(path, section, 255);
    if (names.size() > 254)
        Fail("key names longer than the buffer: " + std::to_string(names.size()));

    // A write as the builder makes it: section, key and value on one line, no blanks at
    // their ends, no "]" in the section, no "=" in the key, which may not start like a
    // section header; a value that the dialect would unquote on reading is not one a
    // caller writes.
    section = Clean(section, "]");
    key = Clean(key, "=");
    value = Clean(value, "");
    if (fuzz::Quoted(value))
        value = "<" + value + ">";
    if (section.empty() || key.empty() || key[0] == '[' || key[0] == ';')
        return 0;
    otherSection = Clean(otherSection, "]");
    otherKey = Clean(otherKey, "=");
    std::string otherBefore =
        platform::ReadProfileValue(path, otherSection, otherKey, kAbsent, 4096);

    // A file in UTF-8 with its byte order mark is written in Windows-1252; one that cannot
    // be (not UTF-8, or characters Windows-1252 has not) is refused and left as it is.
    std::string converted;
    bool fromUtf8 = false;
    size_t badLine = 0;
    const bool convertible = platform::ProfileBytesOfFile(content, &converted, &fromUtf8, &badLine);
    platform::Status written = platform::WriteProfileValue(path, section, key, value);
    if (!convertible) {
        if (written)
            Fail("a file in UTF-8 that Windows-1252 cannot hold was written over");
        return 0;
    }
    if (!written)
        Fail("write refused: " + written.message);
    std::string back = platform::ReadProfileValue(path, section, key, kAbsent, 4096);
    if (back != value)
        Fail("[" + section + "] " + key + " written as <" + value + "> reads back as <" + back +
             ">");
    bool sameKey = strcasecmp(section.c_str(), otherSection.c_str()) == 0 &&
                   strcasecmp(key.c_str(), otherKey.c_str()) == 0;
    std::string otherAfter =
        platform::ReadProfileValue(path, otherSection, otherKey, kAbsent, 4096);
    if (!sameKey && otherAfter != otherBefore)
        Fail("writing [" + section + "] " + key + " changed [" + otherSection + "] " + otherKey +
             " from <" + otherBefore + "> to <" + otherAfter + ">");

    // Removing the section leaves other sections alone.
    platform::Status removed = platform::DeleteProfileSection(path, section);
    if (!removed)
        Fail("section removal refused: " + removed.message);
    if (strcasecmp(section.c_str(), otherSection.c_str()) != 0 &&
        platform::ReadProfileValue(path, otherSection, otherKey, kAbsent, 4096) != otherBefore)
        Fail("removing [" + section + "] changed [" + otherSection + "] " + otherKey);
    return 0;
}

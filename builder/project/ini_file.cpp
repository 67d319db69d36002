// cIniFile, ReadIni and WriteIni over the platform's profile-file service.
#include "builder/project/ini_file.h"

#include "builder/project/field_encoding.h"
#include "platform/profile_file.h"
#include "platform/text_encoding.h"

namespace velaset {
namespace {

// The platform read fills a buffer of this many characters first; a value that fills
// it may have been cut, so it is read again with a buffer twice as large. A value
// written by the save thus always reads back whole.
constexpr size_t kFirstBufferSize = 255;
constexpr size_t kLargestBufferSize = 1 << 24;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// True when the profile dialect would not give the value back as written.
bool NeedsProtectingQuotes(const std::string& value) {
    if (value.empty())
        return false;
    if (IsBlank(value.front()) || IsBlank(value.back()))
        return true;
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

// The names are passed as the file holds them; a name that is not Windows-1252 cannot
// be in the file at all.
bool AnsiName(const std::string& utf8, std::string* ansi) {
    return platform::Utf8ToWindows1252(utf8, ansi);
}

// The open sessions, the newest first.
IniFileSession* g_sessions = nullptr;

} // namespace

IniFileSession::IniFileSession(const std::string& file) : file_(file), previous_(g_sessions) {
    g_sessions = this;
}

IniFileSession::~IniFileSession() {
    // Sessions are scoped objects: they end in the reverse order of their start.
    for (IniFileSession** link = &g_sessions; *link != nullptr; link = &(*link)->previous_) {
        if (*link == this) {
            *link = previous_;
            break;
        }
    }
}

IniFileSession* IniFileSession::Of(const std::string& file) {
    IniFileSession* reading = nullptr;
    for (IniFileSession* s = g_sessions; s != nullptr; s = s->previous_) {
        if (s->file_ != file)
            continue;
        if (s->edit_)
            return s;
        if (reading == nullptr)
            reading = s;
    }
    return reading;
}

IniFileReading::IniFileReading(const std::string& file) : IniFileSession(file) {
    snapshot_.reset(new platform::ProfileSnapshot(file));
}

IniFileReading::IniFileReading(const std::string& file, const std::string& bytes)
    : IniFileSession(file) {
    snapshot_.reset(new platform::ProfileSnapshot(file, bytes));
}

IniFileEditing::IniFileEditing(const std::string& file, Start start) : IniFileSession(file) {
    edit_.reset(new platform::ProfileEdit(file, start == Start::FromFile));
}

std::string cIniFile::Value() const {
    std::string section, key, def;
    if (!AnsiName(section_, &section) || !AnsiName(key_, &key) || !AnsiName(default_, &def))
        return default_;
    const IniFileSession* session = IniFileSession::Of(path_);
    for (size_t size = kFirstBufferSize;; size *= 2) {
        std::string value =
            session == nullptr ? platform::ReadProfileValue(path_, section, key, def, size)
            : session->edit_  ? session->edit_->ReadValue(section, key, def, size)
                              : session->snapshot_->ReadValue(section, key, def, size);
        if (value.size() < size - 1 || size >= kLargestBufferSize)
            return platform::Windows1252ToUtf8(value);
    }
}

platform::Status cIniFile::SetValue(const std::string& value) {
    lastReturnCode_ = 0;
    std::string cleaned;
    for (char c : value) {
        if (c != '\0')
            cleaned += c;
    }
    if (cleaned.find('\r') != std::string::npos || cleaned.find('\n') != std::string::npos)
        return platform::Status::Failed("Il campo " + key_ + " contiene un a capo, che il file " +
                                        path_ + " non può contenere.");
    std::string section, key, ansi;
    if (!AnsiName(section_, &section) || !AnsiName(key_, &key))
        return platform::Status::Failed("Il nome " + section_ + " " + key_ +
                                        " non può essere scritto in Windows-1252.");
    platform::Status converted = FieldToWindows1252(key_, cleaned, &ansi);
    if (!converted)
        return converted;
    if (NeedsProtectingQuotes(ansi))
        ansi = "\"" + ansi + "\"";
    IniFileSession* session = IniFileSession::Of(path_);
    if (session != nullptr && session->edit_) {
        session->edit_->WriteValue(section, key, ansi);
        lastReturnCode_ = 1;
        return platform::Status::Ok();
    }
    platform::Status written = platform::WriteProfileValue(path_, section, key, ansi);
    if (session != nullptr)
        session->snapshot_.reset(new platform::ProfileSnapshot(path_));
    lastReturnCode_ = written ? 1 : 0;
    return written;
}

platform::Status cIniFile::DeleteSection() {
    std::string section;
    if (!AnsiName(section_, &section))
        return platform::Status::Failed("Il nome " + section_ +
                                        " non può essere scritto in Windows-1252.");
    IniFileSession* session = IniFileSession::Of(path_);
    if (session != nullptr && session->edit_) {
        session->edit_->DeleteSection(section);
        lastReturnCode_ = 1;
        return platform::Status::Ok();
    }
    platform::Status removed = platform::DeleteProfileSection(path_, section);
    if (session != nullptr)
        session->snapshot_.reset(new platform::ProfileSnapshot(path_));
    lastReturnCode_ = removed ? 1 : 0;
    return removed;
}

std::string cIniFile::INISection() const {
    std::string section;
    if (!AnsiName(section_, &section))
        return std::string();
    const IniFileSession* session = IniFileSession::Of(path_);
    for (size_t size = kFirstBufferSize;; size *= 2) {
        // A list that does not fit comes back two characters short of the buffer.
        std::string names =
            session == nullptr ? platform::ReadProfileKeyNames(path_, section, size)
            : session->edit_  ? session->edit_->ReadKeyNames(section, size)
                              : session->snapshot_->ReadKeyNames(section, size);
        if (names.size() < size - 2 || size >= kLargestBufferSize)
            return platform::Windows1252ToUtf8(names);
    }
}

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key) {
    cIniFile ini;
    ini.SetPath(file);
    ini.SetSection(section);
    ini.SetKey(key);
    return ini.Value();
}

platform::Status WriteIni(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) {
    cIniFile ini;
    ini.SetPath(file);
    ini.SetSection(section);
    ini.SetKey(key);
    return ini.SetValue(value);
}

} // namespace velaset

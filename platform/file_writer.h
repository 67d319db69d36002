// Writing a file: a new file written whole, a copy, or bytes and files appended one after
// another. Every way of writing a file goes through here, so each failure is caught at
// the call that had it, names what it concerns, and the file is closed on every way out.
#ifndef VELASET_PLATFORM_FILE_WRITER_H
#define VELASET_PLATFORM_FILE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

// A file open for writing, closed at the latest when the writer ends.
class FileWriter {
  public:
    enum class Creation {
        NewOrEmptied, // a new file, or an existing one emptied
        NewOnly,      // a new file; an existing one is a failure (its system error)
    };

    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Opens path for writing. Every failure of this writer names subject (path when
    // empty) with Operation::Create.
    Status Open(const std::string& path, Creation creation, const std::string& subject = "");

    Status Append(const char* data, std::size_t size);
    Status Append(const std::string& bytes) { return Append(bytes.data(), bytes.size()); }

    // Appends the whole file source. A failure to read it names source (Operation::Read).
    Status AppendFile(const std::string& source);

    // Forces what was written to the disk.
    Status Flush();

    // Closes the file; a failure the system reports only now is reported.
    Status Close();

    bool IsOpen() const { return handle_ != kNone; }
    // The descriptor (POSIX) or handle (Windows) of the open file.
    std::intptr_t Native() const { return handle_; }

  private:
    Status Failure() const;

    std::string subject_;
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

// Makes bytes the content of the file at path (created, or emptied first).
Status WriteNewFile(const std::string& path, const std::string& bytes);

// Copies the file source to copy (created, or emptied first). A failure to read names
// source (Operation::Read), one to write names copy (Operation::Create); either way no
// part of a copy is left.
Status CopyWholeFile(const std::string& source, const std::string& copy);

} // namespace platform

#endif

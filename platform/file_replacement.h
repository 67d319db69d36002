// A new version of a file, written beside it under a working name (by a FileWriter) and
// put in its place in one step once it is complete (rename on POSIX, MoveFileEx with
// replace and write-through on Windows). Whatever happens before that step (a failure, an
// interrupt, the program killed), the file at the target path keeps every byte it had.
//
// The working file is named after its target: "Setup.exe" is written as
// "Setup.exe.~vsXXXXXX" (six letters or digits). While its writer lives the file is held
// (locked on POSIX, open without leave to delete on Windows); one that a killed writer
// left is removed by the next writer of the same target, and nothing else ever is.
#ifndef VELASET_PLATFORM_FILE_REPLACEMENT_H
#define VELASET_PLATFORM_FILE_REPLACEMENT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_writer.h"
#include "platform/status.h"

namespace platform {

class FileReplacement {
  public:
    FileReplacement() = default;
    // Not committed: the working file goes, the target stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Removes the working files of target that writers no longer running left, then
    // creates a new one. The target itself is only looked at: a folder, or a file that
    // may not be written (read-only, or a running program on Windows), is refused as
    // the system refuses it. Failures name target (Operation::Create).
    Status Begin(const std::string& target);

    // Appends bytes to the working file. A failure (a full disk) names the target.
    Status Append(const char* data, std::size_t size) { return file_.Append(data, size); }
    Status Append(const std::string& bytes) { return file_.Append(bytes); }

    // Appends the whole file source. A failure to read it names source
    // (Operation::Read); a failure to write names the target.
    Status AppendFile(const std::string& source) { return file_.AppendFile(source); }

    // Flushes the working file to the disk and puts it in place of the target in one
    // step (a symbolic link keeps its place and gets the new file as its target's).
    // The permissions of an old file stay (its owner where the system lets it; on
    // Windows its hidden and system attributes). On failure the target is as it was.
    Status Commit();

    const std::string& WorkingPath() const { return working_; }

  private:
    void Discard();

    std::string target_;   // as the caller named it, for messages
    std::string replaced_; // the file that Commit replaces
    std::string working_;
    FileWriter file_;          // the working file while it is written
    std::uint32_t kept_ = 0;   // Windows: the old file's attributes that the new one takes
    bool committed_ = false;
};

// The name of a working file of the file named targetName, with unique letters or digits.
std::string WorkingFileName(const std::string& targetName, const std::string& unique);

// True when name is the name of a working file of targetName (letter case ignored, as on
// Windows): targetName, ".~vs", six letters or digits.
bool IsWorkingFileName(const std::string& name, const std::string& targetName);

// Six letters or digits, different at each call, mixed from entropy (a clock, the
// process's number) that the caller takes from the system.
std::string UniqueLetters(unsigned long long entropy);

} // namespace platform

#endif

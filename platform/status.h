// The result of a platform operation: success, or what failed - the operation, what it
// concerned, the kind of failure, the system's error number and the system's own
// description of it (in Italian, as the user reads it). The platform makes no sentence
// for the user: the place that addresses the user turns a failure into its message
// (builder/project/failure_text.h).
#ifndef VELASET_PLATFORM_STATUS_H
#define VELASET_PLATFORM_STATUS_H

#include <string>
#include <utility>

namespace platform {

// What went wrong, independent of the system's numbering.
enum class ErrorKind {
    None,         // success
    NotFound,     // the file, folder or program does not exist
    AccessDenied, // no permission, read-only, in use by another program
    DiskFull,     // no room left on the disk or in the quota
    Refused,      // the input was refused before the system was asked; message says why
    Abnormal,     // a started program ended abnormally
    Other,        // any other system error, or a failure without a system error
};

// The operation that failed, for the sentence that tells the user.
enum class Operation {
    None,   // the message is a whole sentence of its own
    Read,   // reading subject
    Create, // creating or writing subject
    Append, // appending to subject
    Delete, // deleting subject
    Start,  // starting the command line subject
};

struct [[nodiscard]] Status {
    bool ok = true;
    ErrorKind kind = ErrorKind::None;
    Operation operation = Operation::None;
    int systemError = 0; // errno on POSIX, GetLastError on Windows; 0 when none
    std::string subject; // the path or command line that the failure concerns
    std::string message; // the system's description or the reason of a refusal

    static Status Ok() { return Status(); }
    // A failure described by text; with Operation::None, text is the whole sentence.
    static Status Failed(std::string text, ErrorKind kind = ErrorKind::Other,
                         Operation operation = Operation::None, std::string subject = "") {
        Status s;
        s.ok = false;
        s.kind = kind;
        s.operation = operation;
        s.subject = std::move(subject);
        s.message = std::move(text);
        return s;
    }
    // A failure that the system reported with code while doing operation on subject.
    static Status SystemError(int code, Operation operation, std::string subject);
    // The same with the calling thread's last error (errno / GetLastError).
    static Status LastSystemError(Operation operation, std::string subject);

    explicit operator bool() const { return ok; }
};

// Marks a result that is dropped on purpose (clean-up that may fail without harm).
inline void IgnoreFailure(const Status&) {}

// The calling thread's last error number (errno / GetLastError).
int LastSystemErrorCode();

// The kind of a system error number.
ErrorKind KindOfSystemError(int code);

// The system's description of an error number in Italian, without a trailing line
// end or full stop: on Windows the system's own text in Italian where it has one, else
// a table of the common errors (the user's language only for the rare others), on POSIX
// from a table of the common errno values; "errore di sistema N" for a number that
// neither knows.
std::string SystemErrorText(int code);

// SystemErrorText(LastSystemErrorCode()).
std::string LastSystemErrorText();

} // namespace platform

#endif

// POSIX: error numbers (errno) and their Italian descriptions.
#include "platform/status.h"

#include <cerrno>

namespace platform {
namespace {

struct ErrnoText {
    int code;
    const char* text;
};

// The errno values that file and process operations of the builder meet. The C
// library's own texts follow the locale, which is English on most build machines.
const ErrnoText kTexts[] = {
    {EPERM, "Operazione non permessa"},
    {ENOENT, "File o directory non esistente"},
    {EINTR, "Chiamata di sistema interrotta"},
    {EAGAIN, "Risorsa temporaneamente non disponibile"},
    {EIO, "Errore di input/output"},
    {E2BIG, "Elenco degli argomenti troppo lungo"},
    {ENOEXEC, "Formato di eseguibile non valido"},
    {EBADF, "Descrittore di file non valido"},
    {ENOMEM, "Impossibile allocare memoria"},
    {EACCES, "Permesso negato"},
    {EBUSY, "Dispositivo o risorsa occupata"},
    {EEXIST, "Il file esiste"},
    {EXDEV, "Collegamento tra dispositivi non valido"},
    {ENOTDIR, "Non è una directory"},
    {EISDIR, "È una directory"},
    {EINVAL, "Argomento non valido"},
    {ENFILE, "Troppi file aperti nel sistema"},
    {EMFILE, "Troppi file aperti"},
    {ETXTBSY, "File di testo occupato"},
    {EFBIG, "File troppo grande"},
    {ENOSPC, "Spazio esaurito sul dispositivo"},
    {EROFS, "File system in sola lettura"},
    {EMLINK, "Troppi collegamenti"},
    {ENAMETOOLONG, "Nome di file troppo lungo"},
    {ENOTEMPTY, "Directory non vuota"},
    {ELOOP, "Troppi livelli di collegamenti simbolici"},
    {EDQUOT, "Quota del disco superata"},
};

} // namespace

int LastSystemErrorCode() {
    return errno;
}

ErrorKind KindOfSystemError(int code) {
    switch (code) {
    case 0:
        return ErrorKind::None;
    case ENOENT:
    case ENOTDIR:
        return ErrorKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return ErrorKind::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorKind::DiskFull;
    default:
        return ErrorKind::Other;
    }
}

std::string SystemErrorText(int code) {
    for (const ErrnoText& known : kTexts) {
        if (known.code == code)
            return known.text;
    }
    return "errore di sistema " + std::to_string(code);
}

} // namespace platform

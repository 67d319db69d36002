// Win32: error numbers (GetLastError) and the system's descriptions in Italian.
#include "platform/status.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The system's text for code in language, trimmed; empty when it has none there.
std::string FormatSystemMessage(DWORD code, DWORD language) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, language, buffer, 512, nullptr);
    std::string text = win32::Narrow(std::wstring(buffer, n));
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

struct CodeText {
    DWORD code;
    const char* text;
};

// The errors that file and process operations of the builder meet, in the words of an
// Italian Windows, for a system that has no Italian texts of its own (an English
// Windows, Wine): the user reads Italian whatever the system's language.
const CodeText kItalian[] = {
    {ERROR_FILE_NOT_FOUND, "Impossibile trovare il file specificato"},
    {ERROR_PATH_NOT_FOUND, "Impossibile trovare il percorso specificato"},
    {ERROR_TOO_MANY_OPEN_FILES, "Impossibile aprire il file"},
    {ERROR_ACCESS_DENIED, "Accesso negato"},
    {ERROR_NOT_ENOUGH_MEMORY, "Memoria insufficiente per elaborare il comando"},
    {ERROR_OUTOFMEMORY, "Memoria insufficiente per completare l'operazione"},
    {ERROR_INVALID_DRIVE, "Impossibile trovare l'unità specificata"},
    {ERROR_WRITE_PROTECT, "Il supporto è protetto da scrittura"},
    {ERROR_NOT_READY, "Dispositivo non pronto"},
    {ERROR_SHARING_VIOLATION,
     "Impossibile accedere al file. Il file è utilizzato da un altro processo"},
    {ERROR_LOCK_VIOLATION,
     "Impossibile accedere al file. Una parte del file è bloccata da un altro processo"},
    {ERROR_HANDLE_DISK_FULL, "Il disco è pieno"},
    {ERROR_BAD_NETPATH, "Impossibile trovare il percorso di rete"},
    {ERROR_FILE_EXISTS, "Il file esiste"},
    {ERROR_DISK_FULL, "Spazio su disco insufficiente"},
    {ERROR_INVALID_NAME,
     "La sintassi del nome del file, della directory o del volume non è corretta"},
    {ERROR_MOD_NOT_FOUND, "Impossibile trovare il modulo specificato"},
    {ERROR_PROC_NOT_FOUND, "Impossibile trovare la procedura specificata"},
    {ERROR_DIR_NOT_EMPTY, "La directory non è vuota"},
    {ERROR_ALREADY_EXISTS, "Impossibile creare un file, se il file esiste già"},
    {ERROR_FILENAME_EXCED_RANGE, "Il nome del file o l'estensione è troppo lungo"},
    {ERROR_DIRECTORY, "Nome di directory non valido"},
    {ERROR_BAD_EXE_FORMAT, "Applicazione Win32 non valida"},
};

} // namespace

int LastSystemErrorCode() {
    return static_cast<int>(GetLastError());
}

ErrorKind KindOfSystemError(int code) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_SUCCESS:
        return ErrorKind::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
    case ERROR_MOD_NOT_FOUND:
        return ErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return ErrorKind::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorKind::DiskFull;
    default:
        return ErrorKind::Other;
    }
}

std::string SystemErrorText(int code) {
    // Italian where the system has it, then the common errors from the table, and only
    // then the system's text in the user's own language.
    std::string text =
        FormatSystemMessage(static_cast<DWORD>(code), MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN));
    for (const CodeText& known : kItalian) {
        if (text.empty() && known.code == static_cast<DWORD>(code))
            text = known.text;
    }
    if (text.empty())
        text = FormatSystemMessage(static_cast<DWORD>(code), 0);
    if (text.empty())
        text = "errore di sistema " + std::to_string(code);
    return text;
}

} // namespace platform

/* The silent installation's command line:
 *   Setup.exe /S [/LOG=FILE] [/D=FOLDER]
 * /S installs without any window; /D= names the installation folder and, as
 * it may hold blanks, takes the rest of the line, so it comes last; /LOG=
 * names the file that receives the messages of a failure (up to the next
 * blank). Options are recognised after a blank, letter case ignored, also
 * within quotes ("/D=C:\Cartella scelta\Demo"). Without /S the stub ignores
 * its command line, as it always has. */
#include "avviora.h"

void ReadCommandLine(void) {
    const char* p = GetCommandLineA();
    char* log = NULL;
    if (*p == '"') /* a quoted program name may hold blanks */
        while (*++p && *p != '"')
            ;
    for (; *p; p++) {
        if (*p == ' ') {
            /* An option may start after each blank, itself in quotes. */
            const char* q = p + 1 + (p[1] == '"');
            char option = (char)(q[1] | 0x20);
            log = NULL;
            if (q[0] != '/')
                continue;
            if (option == 's' && (q[2] == ' ' || q[2] == '"' || q[2] == 0))
                g_avviora.silent = 1;
            if (option == 'd' && q[2] == '=') {
                char* folder = g_avviora.chosen_folder;
                int length;
                lstrcpynA(folder, q + 3, MAX_PATH);
                length = lstrlenA(folder);
                if (length > 0 && folder[length - 1] == '"')
                    folder[length - 1] = 0;
                return;
            }
            if (option == 'l' && q[4] == '=') {
                log = g_avviora.log_file;
                p = q + 4;
            }
        } else if (log && *p != '"' && log < g_avviora.log_file + MAX_PATH - 1) {
            *log++ = *p;
        }
    }
}

/* A message of a silent installation: the line "caption: text" appended to
 * the log file, when there is one. */
void LogMessage(const char* text, const char* caption) {
    char line[700];
    DWORD written;
    HANDLE log = CreateFileA(g_avviora.log_file, FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                             OPEN_ALWAYS, 0, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    wsprintfA(line, "%s: %s\r\n", caption, text);
    WriteFile(log, line, (DWORD)lstrlenA(line), &written, NULL);
    CloseHandle(log);
}

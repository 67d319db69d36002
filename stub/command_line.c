/* The silent installation's command line:
 *   Setup.exe /S [/LOG=FILE] [/D=FOLDER]
 * /S installs without any window; /D= names the installation folder and, as
 * it may hold blanks, takes the rest of the line, so it comes last; /LOG=
 * names the file that receives the messages of a failure (up to the next
 * blank). Options are recognised after a blank, letter case ignored. Without
 * /S the stub ignores its command line, as it always has. */
#include "avviora.h"

void ReadCommandLine(void) {
    const char* p = GetCommandLineA();
    char* log = NULL;
    for (; *p; p++) {
        if (*p == ' ') {
            char option = (char)(p[2] | 0x20);
            log = NULL;
            if (p[1] != '/')
                continue;
            if (option == 's' && (p[3] == ' ' || p[3] == 0))
                g_avviora.silent = 1;
            if (option == 'd' && p[3] == '=') {
                lstrcpynA(g_avviora.chosen_folder, p + 4, MAX_PATH);
                return;
            }
            if (option == 'l' && p[5] == '=') {
                log = g_avviora.log_file;
                p += 5;
            }
        } else if (log && log < g_avviora.log_file + MAX_PATH - 1) {
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

/* Stands in for Notepad in the "Modifica file inf" case: appends one comment line to
 * the file named on its command line (quoted or not) and ends. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show)
{
    char path[MAX_PATH];
    size_t n;
    FILE *file;
    (void)instance;
    (void)previous;
    (void)show;
    while (*line == ' ')
        ++line;
    if (*line == '"')
        ++line;
    lstrcpynA(path, line, MAX_PATH);
    n = strlen(path);
    while (n > 0 && (path[n - 1] == '"' || path[n - 1] == ' '))
        path[--n] = '\0';
    file = fopen(path, "ab");
    if (!file)
        return 1;
    fputs("; edited in the editor\r\n", file);
    fclose(file);
    return 0;
}

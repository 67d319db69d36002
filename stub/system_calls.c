/* Folder removal and message boxes of the stub. */
#include "avviora.h"
#include "setup_common/text.h"

/* Removes files and sub-folders first; stops at the first entry that cannot
 * be deleted, which leaves the rest in place. */
static int DeleteTree(const char* folder) {
    char pattern[MAX_PATH], path[MAX_PATH];
    WIN32_FIND_DATAA entry;
    HANDLE find;
    int ok = 1;
    TextJoin(pattern, MAX_PATH, folder, "\\*");
    find = FindFirstFileA(pattern, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            TextJoin(path, MAX_PATH, folder, "\\");
            TextAppend(path, MAX_PATH, entry.cFileName);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (entry.cFileName[0] != '.')
                    ok = DeleteTree(path);
            } else {
                ok = DeleteFileA(path);
            }
        } while (ok && FindNextFileA(find, &entry));
        FindClose(find);
    }
    return ok && RemoveDirectoryA(folder);
}

void DeleteFolderTree(const char* folder) {
    DeleteTree(folder);
}

void ShowMessage(const char* text, const char* caption, UINT icon) {
    if (g_avviora.silent)
        LogMessage(text, caption);
    else
        MessageBoxA(NULL, text, caption, icon | MB_OK);
}

/* Gives the installed files their long names. The setup script describes
 * them in the Windows-95 way: its AddReg lines write one key per folder under
 * ...\CurrentVersion\RenameFiles (default value the folder, every other value
 * short name = long name), which that setup engine acted on and then removed.
 * The INF installers of Windows NT and Wine write the keys but act on none,
 * so the stub does the same job right after the INF installer has run. */
#include "avviora.h"
#include "setup_common/text.h"

#define RENAME_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\Splash"

static void RenameFolderFiles(HKEY key) {
    char folder[MAX_PATH], name[MAX_PATH], long_name[MAX_PATH];
    char from[2 * MAX_PATH], to[2 * MAX_PATH];
    DWORD size = sizeof folder - 1, name_size, long_size, type, i;
    if (RegQueryValueExA(key, NULL, NULL, &type, (BYTE*)folder, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    folder[size] = 0;
    for (i = 0;; i++) {
        name_size = sizeof name;
        long_size = sizeof long_name - 1;
        if (RegEnumValueA(key, i, name, &name_size, NULL, &type, (BYTE*)long_name, &long_size) !=
            ERROR_SUCCESS)
            return;
        long_name[long_size] = 0;
        if (type != REG_SZ || !IsPlainFileName(name) || !IsPlainFileName(long_name))
            continue;
        TextJoin(from, sizeof from, folder, name);
        TextJoin(to, sizeof to, folder, long_name);
        if (GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES)
            MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING);
    }
}

void RenameToLongNames(void) {
    static const char kCodes[] = "DWSHI";
    char name[] = RENAME_KEY "?";
    const char* code;
    HKEY key;
    for (code = kCodes; *code; code++) {
        name[sizeof name - 2] = *code;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        RenameFolderFiles(key);
        RegCloseKey(key);
        /* Done, as the Windows-95 engine did: a later package starts afresh. */
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, name);
    }
}

/* Long file names of the setup script's registry sections (see inf_actions.h). */
#include "inf_actions.h"
#include "inf_file.h"

#include <string.h>

#define NAMES_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\"

typedef struct {
    const char *script;
    const char *key_prefix; /* NAMES_KEY "RenameFiles\\" or NAMES_KEY "DeleteFiles\\" */
    int rename;
    char key[MAX_PATH];     /* the key whose folder line came last */
    char folder[MAX_PATH];  /* its folder, ending with "\" */
} NameWalk;

/* One AddReg line: root, key, value name, flags, value. The line with an
 * empty value name gives the folder; the others map short to long names. */
static void VisitRegistryLine(char *line, void *context)
{
    NameWalk *walk = context;
    char *field[5] = {"", "", "", "", ""};
    char short_path[MAX_PATH], long_path[MAX_PATH];
    int prefix = lstrlenA(walk->key_prefix);
    InfSplitFields(line, field, 5);
    if (lstrcmpiA(field[0], "HKLM") != 0 || _strnicmp(field[1], walk->key_prefix, prefix) != 0)
        return;
    if (field[2][0] == 0) {
        InfExpand(walk->script, field[4], walk->folder, MAX_PATH);
        if (walk->folder[0] && walk->folder[lstrlenA(walk->folder) - 1] != '\\')
            TextAppend(walk->folder, MAX_PATH, "\\");
        lstrcpynA(walk->key, field[1], MAX_PATH);
        return;
    }
    if (lstrcmpiA(field[1], walk->key) != 0 || !IsPlainFileName(field[2]) ||
        !IsPlainFileName(field[4]))
        return;
    lstrcpynA(long_path, walk->folder, MAX_PATH);
    TextAppend(long_path, MAX_PATH, field[4]);
    if (!walk->rename) {
        DeleteFileA(long_path);
        return;
    }
    lstrcpynA(short_path, walk->folder, MAX_PATH);
    TextAppend(short_path, MAX_PATH, field[2]);
    if (GetFileAttributesA(short_path) != INVALID_FILE_ATTRIBUTES &&
        lstrcmpiA(short_path, long_path) != 0)
        MoveFileExA(short_path, long_path, MOVEFILE_REPLACE_EXISTING);
}

static void Walk(const char *script, const char *section, const char *key_prefix, int rename)
{
    NameWalk walk;
    walk.script = script;
    walk.key_prefix = key_prefix;
    walk.rename = rename;
    walk.key[0] = 0;
    walk.folder[0] = 0;
    InfForEachListedSection(script, section, "AddReg", VisitRegistryLine, &walk);
}

void LongNamesRename(const char *script)
{
    Walk(script, "DefaultInstall", NAMES_KEY "RenameFiles\\", 1);
}

void LongNamesDelete(const char *script)
{
    Walk(script, "DefaultUninstall", NAMES_KEY "DeleteFiles\\", 0);
}

/* Long-named files of the setup script's DeleteFiles sections (see inf_actions.h). */
#include "inf_actions.h"
#include "inf_file.h"

#include <string.h>

#define NAMES_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\"

typedef struct {
    const char* script;
    const char* key_prefix; /* NAMES_KEY "DeleteFiles\\" */
    char key[MAX_PATH];     /* the key whose folder line came last */
    char folder[MAX_PATH];  /* its folder, ending with "\" */
} NameWalk;

/* One AddReg line: root, key, value name, flags, value. The line with an
 * empty value name gives the folder; the others name a short and a long
 * name, and the long-named file goes. */
static void VisitRegistryLine(char* line, void* context) {
    NameWalk* walk = context;
    char* field[5];
    char long_path[MAX_PATH];
    int prefix = lstrlenA(walk->key_prefix);
    InfSplitFields(line, field, 5);
    if (lstrcmpiA(field[0], "HKLM") != 0 || _strnicmp(field[1], walk->key_prefix, prefix) != 0)
        return;
    if (field[2][0] == 0) {
        InfExpand(walk->script, field[4], walk->folder, MAX_PATH);
        if (walk->folder[0] && walk->folder[lstrlenA(walk->folder) - 1] != '\\')
            TextAppend(walk->folder, MAX_PATH, "\\");
        lstrcpynA(walk->key, field[1], MAX_PATH);
        /* The uninstall script writes this key only to say what goes. */
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, field[1]);
        return;
    }
    if (lstrcmpiA(field[1], walk->key) != 0 || !IsPlainFileName(field[2]) ||
        !IsPlainFileName(field[4]))
        return;
    lstrcpynA(long_path, walk->folder, MAX_PATH);
    TextAppend(long_path, MAX_PATH, field[4]);
    DeleteFileA(long_path);
}

void LongNamesDelete(const char* script) {
    NameWalk walk;
    walk.script = script;
    walk.key_prefix = NAMES_KEY "DeleteFiles\\";
    walk.key[0] = 0;
    walk.folder[0] = 0;
    InfForEachListedSection(script, "DefaultUninstall", "AddReg", VisitRegistryLine, &walk);
}

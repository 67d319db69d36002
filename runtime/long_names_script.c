/* Long-named files of the setup script's RenameFiles and DeleteFiles
 * sections (see inf_actions.h). */
#include "inf_actions.h"
#include "inf_file.h"

#include <string.h>

#define NAMES_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\"

typedef struct {
    const char* script;
    const char* key_prefix; /* NAMES_KEY "RenameFiles\\" or NAMES_KEY "DeleteFiles\\" */
    int rename;             /* 1: short name to long name; 0: the long-named file goes */
    HKEY root;              /* of the key whose folder line came last */
    char key[MAX_PATH];
    char folder[MAX_PATH]; /* its folder, ending with "\" */
} NameWalk;

/* One AddReg line: root, key, value name, flags, value. The line with an
 * empty value name gives the folder; the others name a short and a long
 * name. */
static void VisitRegistryLine(char* line, void* context) {
    NameWalk* walk = context;
    char* field[5];
    char short_path[MAX_PATH], long_path[MAX_PATH];
    int prefix = lstrlenA(walk->key_prefix);
    HKEY root;
    InfSplitFields(line, field, 5);
    root = InfRoot(field[0]);
    if (!root || _strnicmp(field[1], walk->key_prefix, prefix) != 0)
        return;
    if (field[2][0] == 0) {
        InfExpand(walk->script, field[4], walk->folder, MAX_PATH);
        if (walk->folder[0] && walk->folder[lstrlenA(walk->folder) - 1] != '\\')
            TextAppend(walk->folder, MAX_PATH, "\\");
        walk->root = root;
        lstrcpynA(walk->key, field[1], MAX_PATH);
        /* The script writes this key only to say what to rename or delete,
         * which is done here, as the Windows 95 setup engine did. */
        RegDeleteKeyA(root, field[1]);
        return;
    }
    if (root != walk->root || lstrcmpiA(field[1], walk->key) != 0 ||
        !IsPlainFileName(field[2]) || !IsPlainFileName(field[4]))
        return;
    lstrcpynA(long_path, walk->folder, MAX_PATH);
    TextAppend(long_path, MAX_PATH, field[4]);
    if (!walk->rename) {
        DeleteFileA(long_path);
        return;
    }
    lstrcpynA(short_path, walk->folder, MAX_PATH);
    TextAppend(short_path, MAX_PATH, field[2]);
    if (GetFileAttributesA(short_path) != INVALID_FILE_ATTRIBUTES)
        MoveFileExA(short_path, long_path, MOVEFILE_REPLACE_EXISTING);
}

static void WalkNames(const char* script, const char* install_section, const char* prefix,
                      int rename) {
    NameWalk walk;
    walk.script = script;
    walk.key_prefix = prefix;
    walk.rename = rename;
    walk.root = NULL;
    walk.key[0] = 0;
    walk.folder[0] = 0;
    InfForEachListedSection(script, install_section, "AddReg", VisitRegistryLine, &walk);
}

void LongNamesRename(const char* script) {
    WalkNames(script, "DefaultInstall", NAMES_KEY "RenameFiles\\", 1);
}

void LongNamesDelete(const char* script) {
    WalkNames(script, "DefaultUninstall", NAMES_KEY "DeleteFiles\\", 0);
}

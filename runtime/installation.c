/* What an installation put on the machine, and what an upgrade removes of the
 * older one (see installation.h). */
#include "installation.h"

#include <stdlib.h>
#include <string.h>

#include "inf_actions.h"
#include "inf_file.h"
#include "setup_common/library_list.h"
#include "setup_common/run_and_wait.h"

/* The keys that only carry long names (the RenameFiles and DeleteFiles lines). */
#define RENAME_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\"
#define DELETE_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\DeleteFiles\\"
#define STARTS_WITH(text, prefix) (_strnicmp(text, prefix, sizeof prefix - 1) == 0)
#define MAX_SECTIONS 32

/* Texts built here have room for what wsprintfA writes at most. */
#define ENTRY_SIZE 1100

/* A character as compared: in lower case (CharLowerA takes one character in
 * the low word of its argument); '\2' ends a text like its terminator, so
 * that "path\2long name" is found by its path. */
static int Comparable(char c) {
    return c == '\2' ? 0 : (unsigned char)(UINT_PTR)CharLowerA((LPSTR)(UINT_PTR)(unsigned char)c);
}

static int CompareTexts(const char* a, const char* b) {
    for (;; a++, b++) {
        int x = Comparable(*a), y = Comparable(*b);
        if (x != y || x == 0)
            return x - y;
    }
}

static int CompareEntries(const void* a, const void* b) {
    return CompareTexts(*(const char* const*)a, *(const char* const*)b);
}

static void TextSetAdd(TextSet* set, const char* text) {
    if (set->count == set->room) {
        int room = set->room ? 2 * set->room : 64;
        char** texts = realloc(set->texts, (size_t)room * sizeof *texts);
        if (!texts)
            return;
        set->texts = texts;
        set->room = room;
    }
    if ((set->texts[set->count] = _strdup(text)) != NULL)
        set->count++;
}

static void TextSetSort(TextSet* set) {
    if (set->count > 1)
        qsort(set->texts, (size_t)set->count, sizeof *set->texts, CompareEntries);
}

/* The entry of the set that text names, or NULL. */
static const char* TextSetFind(const TextSet* set, const char* text) {
    const char* const* found;
    if (set->count == 0)
        return NULL;
    found = bsearch(&text, set->texts, (size_t)set->count, sizeof *set->texts, CompareEntries);
    return found ? *found : NULL;
}

int TextSetHas(const TextSet* set, const char* text) {
    return TextSetFind(set, text) != NULL;
}

static void TextSetFree(TextSet* set) {
    int i;
    for (i = 0; i < set->count; i++)
        free(set->texts[i]);
    free(set->texts);
    set->texts = NULL;
    set->count = set->room = 0;
}

/* A folder as it is compared: its short form when it exists, without a
 * final backslash. */
static void ComparableFolder(const char* folder, char* out, int size) {
    int length;
    if (!GetShortPathNameA(folder, out, (DWORD)size))
        lstrcpynA(out, folder, size);
    length = lstrlenA(out);
    if (length > 3 && out[length - 1] == '\\')
        out[length - 1] = 0;
}

void ScriptFolder(const char* script, char* folder, int size) {
    char progdir[MAX_PATH];
    GetPrivateProfileStringA("Strings", "PROGDIR", "", progdir, MAX_PATH, script);
    ComparableFolder(progdir, folder, size);
}

typedef struct {
    const char* script;
    Installation* installation;
    TextSet long_names; /* "folder\SHORT" \2 "long name", from the RenameFiles lines */
    char folder[MAX_PATH]; /* of the RenameFiles key or copy section being read */
    int old;
} Reading;

/* A RenameFiles line: the folder line, then short name = long name. */
static void ReadLongName(char* line, void* context) {
    Reading* r = context;
    char* field[5];
    char entry[ENTRY_SIZE];
    InfSplitFields(line, field, 5);
    if (!InfRoot(field[0]) || !STARTS_WITH(field[1], RENAME_KEY))
        return;
    if (field[2][0] == 0) {
        InfExpand(r->script, field[4], entry, MAX_PATH);
        ComparableFolder(entry, r->folder, MAX_PATH);
    } else if (IsPlainFileName(field[2]) && IsPlainFileName(field[4])) {
        wsprintfA(entry, "%s\\%.259s\2%.259s", r->folder, field[2], field[4]);
        TextSetAdd(&r->long_names, entry);
    }
}

/* A line of a copy section: the file it installs, under its long name. */
static void ReadCopiedFile(char* line, void* context) {
    Reading* r = context;
    char* field[1];
    char path[ENTRY_SIZE];
    const char* long_name;
    InfSplitFields(line, field, 1);
    if (!IsPlainFileName(field[0]))
        return;
    wsprintfA(path, "%s\\%.259s", r->folder, field[0]);
    long_name = TextSetFind(&r->long_names, path);
    if (long_name)
        wsprintfA(path, "%s\\%.259s", r->folder, strchr(long_name, '\2') + 1);
    TextSetAdd(&r->installation->files, path);
}

static void ReadLink(const char* path, int is_group, void* context) {
    Installation* installation = context;
    TextSetAdd(is_group ? &installation->groups : &installation->links, path);
}

/* A line of an AddReg section of [DefaultInstall]: root, key, value name,
 * flags, value. The keys that only carry long names are left out. */
static int RegistryEntry(char* line, char** field, char* entry) {
    int count = InfSplitFields(line, field, 3);
    if (!InfRoot(field[0]) || field[1][0] == 0 ||
        STARTS_WITH(field[1], RENAME_KEY) || STARTS_WITH(field[1], DELETE_KEY))
        return 0;
    CharUpperA(field[0]);
    wsprintfA(entry, "%.8s\1%.300s", field[0], field[1]);
    return count;
}

static void ReadWrittenEntry(char* line, void* context) {
    Reading* r = context;
    char *field[3], entry[ENTRY_SIZE];
    int count = RegistryEntry(line, field, entry);
    if (count == 0)
        return;
    if (!r->old)
        TextSetAdd(&r->installation->keys, entry);
    if (count > 2) {
        TextAppend(entry, sizeof entry, "\1");
        TextAppend(entry, sizeof entry, field[2]);
        TextSetAdd(&r->installation->values, entry);
    }
}

/* A line of a DelReg section of [DefaultUninstall] that names a key alone:
 * the uninstall removes it whole. */
static void ReadRemovedKey(char* line, void* context) {
    Reading* r = context;
    char *field[3], entry[ENTRY_SIZE];
    if (RegistryEntry(line, field, entry) == 2)
        TextSetAdd(&r->installation->keys, entry);
}

static void ReadLibraries(const char* script, const char* section, const char* folder,
                          TextSet* set) {
    LibraryList list;
    char path[ENTRY_SIZE];
    int i;
    ReadLibraryList(script, section, &list);
    for (i = 0; i < list.count; i++) {
        wsprintfA(path, "%s\\%s", folder, list.names[i]);
        TextSetAdd(set, path);
        free(list.names[i]);
    }
    free(list.names);
}

/* The names of the comma-separated list [section] key, in fields[]. */
static int ListedSections(const char* script, const char* section, const char* key, char* list,
                          int size, char** fields) {
    int count;
    GetPrivateProfileStringA(section, key, "", list, (DWORD)size, script);
    count = InfSplitFields(list, fields, MAX_SECTIONS);
    return count < MAX_SECTIONS ? count : MAX_SECTIONS;
}

static int IsListed(char** names, int count, const char* name) {
    int i;
    for (i = 0; i < count; i++)
        if (lstrcmpiA(names[i], name) == 0)
            return 1;
    return 0;
}

void ReadInstallation(const char* script, int old, Installation* installation) {
    static char copied[1024], removed[1024];
    char *copy[MAX_SECTIONS], *deleted[MAX_SECTIONS], folder[MAX_PATH];
    int copies, deletes, i;
    Reading r;
    ZeroMemory(installation, sizeof *installation);
    ZeroMemory(&r, sizeof r);
    r.script = script;
    r.installation = installation;
    r.old = old;
    ScriptFolder(script, installation->folder, MAX_PATH);

    InfForEachListedSection(script, "DefaultInstall", "AddReg", ReadLongName, &r);
    TextSetSort(&r.long_names);
    copies = ListedSections(script, "DefaultInstall", "CopyFiles", copied, sizeof copied, copy);
    deletes = ListedSections(script, "DefaultUninstall", "DelFiles", removed, sizeof removed,
                             deleted);
    for (i = 0; i < copies; i++) {
        if (!InfDestinationFolder(script, copy[i], folder, MAX_PATH))
            continue;
        ComparableFolder(folder, r.folder, MAX_PATH);
        if (!old || IsListed(deleted, deletes, copy[i]) ||
            lstrcmpiA(r.folder, installation->folder) == 0)
            InfForEachLine(script, copy[i], ReadCopiedFile, &r);
    }
    TextSetFree(&r.long_names);

    ShellLinksList(script, ReadLink, installation);
    InfForEachListedSection(script, "DefaultInstall", "AddReg", ReadWrittenEntry, &r);
    if (old)
        InfForEachListedSection(script, "DefaultUninstall", "DelReg", ReadRemovedKey, &r);
    ReadLibraries(script, "SelfRegisterP", installation->folder, &installation->libraries);
    GetSystemDirectoryA(folder, MAX_PATH);
    ReadLibraries(script, "SelfRegisterS", folder, &installation->libraries);

    TextSetSort(&installation->files);
    TextSetSort(&installation->links);
    TextSetSort(&installation->groups);
    TextSetSort(&installation->values);
    TextSetSort(&installation->keys);
    TextSetSort(&installation->libraries);
}

/* ROOT \1 key [\1 name]: splits the text in place; NULL for an unknown root. */
static HKEY SplitEntry(char* entry, char** key, char** name) {
    char* mark = strchr(entry, '\1');
    if (!mark)
        return NULL;
    *mark = 0;
    *key = mark + 1;
    *name = strchr(*key, '\1');
    if (*name)
        *(*name)++ = 0;
    return InfRoot(entry);
}

void RemoveWhatIsGone(const Installation* old, const Installation* now, const char* old_script) {
    char command[ENTRY_SIZE], entry[ENTRY_SIZE], *key, *name;
    HKEY root, opened;
    int i;
    for (i = 0; i < old->libraries.count; i++) {
        if (TextSetHas(&now->libraries, old->libraries.texts[i]))
            continue;
        wsprintfA(command, "regsvr32 /s /u \"%.600s\"", old->libraries.texts[i]);
        RunAndWait(command, SW_HIDE);
    }
    for (i = 0; i < old->files.count; i++)
        if (!TextSetHas(&now->files, old->files.texts[i]))
            DeleteFileA(old->files.texts[i]);
    for (i = 0; i < old->links.count; i++)
        if (!TextSetHas(&now->links, old->links.texts[i]))
            DeleteFileA(old->links.texts[i]);
    for (i = 0; i < old->groups.count; i++)
        if (!TextSetHas(&now->groups, old->groups.texts[i]))
            RemoveDirectoryA(old->groups.texts[i]); /* only when left empty */
    for (i = 0; i < old->values.count; i++) {
        if (TextSetHas(&now->values, old->values.texts[i]))
            continue;
        lstrcpynA(entry, old->values.texts[i], sizeof entry);
        root = SplitEntry(entry, &key, &name);
        if (root && RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
            RegDeleteValueA(opened, name);
            RegCloseKey(opened);
        }
    }
    for (i = 0; i < old->keys.count; i++) {
        if (TextSetHas(&now->keys, old->keys.texts[i]))
            continue;
        lstrcpynA(entry, old->keys.texts[i], sizeof entry);
        root = SplitEntry(entry, &key, &name);
        if (root)
            RegDeleteKeyA(root, key); /* not when the program made keys below it */
    }
    if (lstrcmpiA(old->folder, now->folder) != 0) {
        DeleteFileA(old_script);
        RemoveDirectoryA(old->folder); /* only when left empty */
    }
}

void FreeInstallation(Installation* installation) {
    TextSetFree(&installation->files);
    TextSetFree(&installation->links);
    TextSetFree(&installation->groups);
    TextSetFree(&installation->values);
    TextSetFree(&installation->keys);
    TextSetFree(&installation->libraries);
}

/* Program-group and desktop links of the setup script (see inf_actions.h). */
#include "inf_actions.h"
#include "inf_file.h"

#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#define MAX_GROUPS 8

typedef struct {
    const char* script;
    int create;         /* 1 make, 0 remove; ignored while listing */
    LinkVisitor visit;  /* lists the paths instead, when set */
    void* context;
    int group_count;
    struct {
        char key[64]; /* "group42" */
        char folder[MAX_PATH];
        int is_desktop;
    } groups[MAX_GROUPS];
} LinkWalk;

/* Splits "program arguments" (the program may be quoted) and makes a program
 * without a folder absolute through the search path. */
static void SplitCommand(const char* command, char* program, char* arguments) {
    const char* p = command;
    char found[MAX_PATH], *name;
    int n = 0;
    if (*p == '"') {
        for (p++; *p && *p != '"' && n < MAX_PATH - 1; p++)
            program[n++] = *p;
        if (*p == '"')
            p++;
    } else {
        for (; *p && *p != ' ' && n < MAX_PATH - 1; p++)
            program[n++] = *p;
    }
    program[n] = 0;
    while (*p == ' ')
        p++;
    lstrcpynA(arguments, p, MAX_PATH);
    if (!strchr(program, '\\') && SearchPathA(NULL, program, NULL, MAX_PATH, found, &name))
        lstrcpynA(program, found, MAX_PATH);
}

static void SaveLink(const char* link_path, const char* command, const char* icon, int icon_index,
                     const char* work_folder) {
    IShellLinkA* link;
    IPersistFile* file;
    char program[MAX_PATH], arguments[MAX_PATH];
    WCHAR wide[MAX_PATH];
    if (FAILED(CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkA,
                                (void**)&link)))
        return;
    SplitCommand(command, program, arguments);
    link->lpVtbl->SetPath(link, program);
    if (arguments[0])
        link->lpVtbl->SetArguments(link, arguments);
    if (work_folder[0])
        link->lpVtbl->SetWorkingDirectory(link, work_folder);
    if (icon[0])
        link->lpVtbl->SetIconLocation(link, icon, icon_index);
    if (SUCCEEDED(link->lpVtbl->QueryInterface(link, &IID_IPersistFile, (void**)&file))) {
        MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide, MAX_PATH);
        file->lpVtbl->Save(file, wide, TRUE);
        file->lpVtbl->Release(file);
    }
    link->lpVtbl->Release(link);
}

/* "group42=Demo": the group's folder, made when links are created. */
static void AddGroup(LinkWalk* walk, char* entry) {
    char *name = strchr(entry, '='), *fields[1];
    char* folder;
    int is_desktop;
    if (!name || walk->group_count == MAX_GROUPS)
        return;
    *name++ = 0;
    InfSplitFields(name, fields, 1); /* drops the quotes of "..\..\Desktop" */
    name = fields[0];
    is_desktop = lstrcmpiA(name, "..\\..\\Desktop") == 0;
    /* Anything else must stay inside the Start menu programs folder. */
    if (!is_desktop && (name[0] == 0 || name[0] == '\\' || strstr(name, "..") || strchr(name, ':')))
        return;
    folder = walk->groups[walk->group_count].folder;
    if (!SHGetSpecialFolderPathA(NULL, folder, is_desktop ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS,
                                 TRUE))
        return;
    if (!is_desktop) {
        TextAppend(folder, MAX_PATH, "\\");
        TextAppend(folder, MAX_PATH, name);
        if (walk->visit)
            walk->visit(folder, 1, walk->context);
        else if (walk->create)
            CreateDirectoryA(folder, NULL);
    }
    lstrcpynA(walk->groups[walk->group_count].key, entry, 64);
    walk->groups[walk->group_count].is_desktop = is_desktop;
    walk->group_count++;
}

/* One item of a group: "title","command","icon",index,...,"work folder". */
static void AddItem(LinkWalk* walk, const char* folder, char* entry) {
    char* item[6];
    char title[MAX_PATH], command[MAX_PATH], icon[MAX_PATH], work_folder[MAX_PATH];
    char link_path[MAX_PATH];
    InfSplitFields(entry, item, 6);
    InfExpand(walk->script, item[0], title, MAX_PATH);
    if (!IsPlainFileName(title))
        return;
    lstrcpynA(link_path, folder, MAX_PATH);
    TextAppend(link_path, MAX_PATH, "\\");
    TextAppend(link_path, MAX_PATH, title);
    TextAppend(link_path, MAX_PATH, ".lnk");
    if (walk->visit) {
        walk->visit(link_path, 0, walk->context);
        return;
    }
    if (!walk->create) {
        DeleteFileA(link_path);
        return;
    }
    InfExpand(walk->script, item[1], command, MAX_PATH);
    InfExpand(walk->script, item[2], icon, MAX_PATH);
    InfExpand(walk->script, item[5], work_folder, MAX_PATH);
    SaveLink(link_path, command, icon, atoi(item[3]), work_folder);
}

/* One UpdateInis line: ini file, ini section, old entry, new entry. */
static void VisitUpdateInisLine(char* line, void* context) {
    LinkWalk* walk = context;
    char* field[4];
    int i;
    if (InfSplitFields(line, field, 4) < 4 || lstrcmpiA(field[0], "setup.ini") != 0)
        return;
    if (lstrcmpiA(field[1], "progman.groups") == 0) {
        AddGroup(walk, field[3]);
        return;
    }
    for (i = 0; i < walk->group_count; i++)
        if (lstrcmpiA(field[1], walk->groups[i].key) == 0)
            AddItem(walk, walk->groups[i].folder, field[3]);
}

static void WalkLinks(LinkWalk* walk, const char* script) {
    walk->script = script;
    walk->group_count = 0;
    InfForEachListedSection(script, "DefaultInstall", "UpdateInis", VisitUpdateInisLine, walk);
}

void ShellLinksList(const char* script, LinkVisitor visit, void* context) {
    LinkWalk walk;
    walk.create = 0;
    walk.visit = visit;
    walk.context = context;
    WalkLinks(&walk, script);
}

void ShellLinksApply(const char* script, int create) {
    LinkWalk walk;
    int i;
    walk.create = create;
    walk.visit = NULL;
    WalkLinks(&walk, script);
    if (!create)
        for (i = 0; i < walk.group_count; i++)
            if (!walk.groups[i].is_desktop)
                RemoveDirectoryA(walk.groups[i].folder);
}

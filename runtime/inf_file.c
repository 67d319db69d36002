/* Reads sections, fields and tokens of the setup script (see inf_file.h). */
#include "inf_file.h"

#include <stdlib.h>

char* InfReadFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD size, got = 0;
    char* text = NULL;
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    size = GetFileSize(file, NULL);
    if (size != INVALID_FILE_SIZE && size < 0x1000000)
        text = malloc(size + 1);
    if (text && ReadFile(file, text, size, &got, NULL)) {
        text[got] = 0;
    } else {
        free(text);
        text = NULL;
    }
    CloseHandle(file);
    return text;
}

static char* TrimBlanks(char* s) {
    char* end;
    while (*s == ' ' || *s == '\t')
        s++;
    end = s + lstrlenA(s);
    while (end > s && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        *--end = 0;
    return s;
}

int InfForEachLine(const char* script, const char* section, InfLineVisitor visit, void* context) {
    char* text = InfReadFile(script);
    char *line, *next;
    int inside = 0;
    if (!text)
        return 0;
    for (line = text; line; line = next) {
        char* trimmed;
        next = line;
        while (*next && *next != '\n')
            next++;
        if (*next)
            *next++ = 0;
        else
            next = NULL;
        trimmed = TrimBlanks(line);
        if (trimmed[0] == '[') {
            char* close = trimmed + 1;
            while (*close && *close != ']')
                close++;
            *close = 0;
            inside = lstrcmpiA(TrimBlanks(trimmed + 1), section) == 0;
        } else if (inside && trimmed[0] != 0 && trimmed[0] != ';') {
            visit(trimmed, context);
        }
    }
    free(text);
    return 1;
}

int InfSplitFields(char* line, char** fields, int max_fields) {
    char *r = line, *w = line;
    int count = 0;
    for (;;) {
        char *start, *end;
        int quoted = 0, more;
        while (*r == ' ' || *r == '\t')
            r++;
        start = end = w;
        while (*r && (quoted || (*r != ',' && *r != ';'))) {
            if (*r == '"') {
                if (quoted && r[1] == '"') {
                    *w++ = '"';
                    r += 2;
                } else {
                    quoted = !quoted;
                    r++;
                }
                end = w;
                continue;
            }
            *w++ = *r;
            if (quoted || (*r != ' ' && *r != '\t'))
                end = w;
            r++;
        }
        more = *r == ',';
        if (more)
            r++;
        *end = 0; /* end <= the character just consumed, never beyond r */
        if (count < max_fields)
            fields[count] = start;
        count++;
        if (!more) {
            /* The fields that the line does not have are empty. */
            int found = count;
            while (count < max_fields)
                fields[count++] = end;
            return found;
        }
        w = end + 1;
    }
}

/* Value of the token name (between the two %), or 0 when it is unknown. */
static int TokenValue(const char* script, const char* name, char* value, int size) {
    char folder[MAX_PATH];
    int id = atoi(name);
    value[0] = 0;
    if (name[0] >= '0' && name[0] <= '9') {
        if (id == 11) {
            GetSystemDirectoryA(folder, MAX_PATH);
        } else if (id == 10 || id == 17 || id == 18) {
            GetWindowsDirectoryA(folder, MAX_PATH);
            if (id == 17)
                TextAppend(folder, MAX_PATH, "\\inf");
            if (id == 18)
                TextAppend(folder, MAX_PATH, "\\help");
        } else {
            return 0;
        }
        lstrcpynA(value, folder, size);
        return 1;
    }
    GetPrivateProfileStringA("Strings", name, "\1", value, size, script);
    return !(value[0] == 1 && value[1] == 0);
}

void InfExpand(const char* script, const char* text, char* out, int size) {
    char name[64], value[MAX_PATH], one[2] = {0, 0};
    out[0] = 0;
    while (*text) {
        const char* close = text[0] == '%' ? text + 1 : NULL;
        while (close && *close && *close != '%')
            close++;
        if (close && *close == '%' && close - text - 1 < (int)sizeof name) {
            lstrcpynA(name, text + 1, (int)(close - text));
            if (name[0] == 0 || TokenValue(script, name, value, sizeof value)) {
                TextAppend(out, size, name[0] ? value : "%");
                text = close + 1;
                continue;
            }
        }
        /* plain text, or an unknown token that stays as it is */
        one[0] = *text++;
        TextAppend(out, size, one);
    }
}

void InfForEachListedSection(const char* script, const char* install_section, const char* key,
                             InfLineVisitor visit, void* context) {
    static char list[1024];
    char* fields[32];
    int i, count;
    GetPrivateProfileStringA(install_section, key, "", list, sizeof list, script);
    count = InfSplitFields(list, fields, 32);
    for (i = 0; i < count && i < 32; i++)
        if (fields[i][0])
            InfForEachLine(script, fields[i], visit, context);
}

HKEY InfRoot(const char* token) {
    static const struct {
        const char* token;
        HKEY root;
    } kRoots[] = {{"HKLM", HKEY_LOCAL_MACHINE},
                  {"HKCU", HKEY_CURRENT_USER},
                  {"HKCR", HKEY_CLASSES_ROOT},
                  {"HKU", HKEY_USERS}};
    int i;
    for (i = 0; i < 4; i++)
        if (lstrcmpiA(token, kRoots[i].token) == 0)
            return kRoots[i].root;
    return NULL;
}

int InfDestinationFolder(const char* script, const char* section, char* out, int size) {
    char line[MAX_PATH], token[16], sub[MAX_PATH], *field[2];
    GetPrivateProfileStringA("DestinationDirs", section, "", line, MAX_PATH, script);
    if (InfSplitFields(line, field, 2) < 1 || field[0][0] == 0 || lstrlenA(field[0]) > 8)
        return 0;
    if (lstrcmpA(field[0], "00") == 0) {
        InfExpand(script, field[1], out, size);
        return out[0] != 0;
    }
    wsprintfA(token, "%%%s%%", field[0]);
    InfExpand(script, token, out, size);
    if (field[1][0]) {
        InfExpand(script, field[1], sub, MAX_PATH);
        TextAppend(out, size, "\\");
        TextAppend(out, size, sub);
    }
    return out[0] != '%';
}

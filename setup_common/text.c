/* Bounded text helpers (see text.h). */
#include "setup_common/text.h"

#include <windows.h>

void TextAppend(char* dst, int size, const char* src) {
    int used = lstrlenA(dst);
    if (used < size - 1)
        lstrcpynA(dst + used, src, size - used);
}

void TextJoin(char* out, int size, const char* first, const char* second) {
    lstrcpynA(out, first, size);
    TextAppend(out, size, second);
}

int IsPlainFileName(const char* name) {
    const char* p;
    if (name[0] == 0 || (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))))
        return 0;
    for (p = name; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            return 0;
    return 1;
}

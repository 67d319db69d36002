/* Reads the self-registration sections of a setup script (see library_list.h). */
#include "setup_common/library_list.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* More names than this in one section are not believable for a package. */
#define MAX_LIBRARIES 100000

void ReadLibraryList(const char* script, const char* section, LibraryList* list) {
    char key[24], name[MAX_PATH];
    int i, count = (int)GetPrivateProfileIntA(section, "Nb", 0, script);
    list->count = 0;
    list->names = NULL;
    if (count <= 0 || count > MAX_LIBRARIES)
        return;
    list->names = calloc((size_t)count, sizeof *list->names);
    if (!list->names)
        return;
    for (i = 1; i <= count; i++) {
        wsprintfA(key, "DLL_%d", i);
        GetPrivateProfileStringA(section, key, "", name, MAX_PATH, script);
        if (name[0] && (list->names[list->count] = _strdup(name)) != NULL)
            list->count++;
    }
}

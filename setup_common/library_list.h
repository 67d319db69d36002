/* The self-registering libraries that a setup script names in
 * [SelfRegisterP] (installation folder) and [SelfRegisterS] (system folder):
 * "Nb" and then "DLL_1" ... "DLL_<Nb>". */
#ifndef AVVIORA_LIBRARY_LIST_H
#define AVVIORA_LIBRARY_LIST_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    int count;
    char** names; /* each allocated to its length */
} LibraryList;

/* Reads the names of one section; an absent or empty section gives none. */
void ReadLibraryList(const char* script, const char* section, LibraryList* list);

#ifdef __cplusplus
}
#endif

#endif

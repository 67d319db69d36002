/* What an installation put on the machine, as its setup script says: the
 * files under their long names, the links and program groups, the registry
 * values, the keys that its uninstall removes whole, and the registered
 * libraries. An upgrade compares the installed version's script with the
 * new one and removes what only the old one had. Plain C, Win32 only. */
#ifndef AVVIORA_INSTALLATION_H
#define AVVIORA_INSTALLATION_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Texts compared ignoring letter case, kept sorted once complete. */
typedef struct {
    char** texts;
    int count, room;
} TextSet;

int TextSetHas(const TextSet* set, const char* text); /* after TextSetSort */

typedef struct {
    TextSet files;     /* full paths, folders in their short form */
    TextSet links;     /* .lnk files */
    TextSet groups;    /* program-group folders */
    TextSet values;    /* ROOT \1 key \1 value name */
    TextSet keys;      /* ROOT \1 key: the keys written (new) or removed whole (old) */
    TextSet libraries; /* full paths of the libraries registered with regsvr32 */
    char folder[MAX_PATH]; /* the installation folder, short form */
} Installation;

/* Reads what the script installs. As the installed version (old = 1), the
 * files are those its uninstall removes (the DelFiles sections, and every
 * copy section into the installation folder) and the keys those it removes
 * whole; as the new version, every copied file and every key written. */
void ReadInstallation(const char* script, int old, Installation* installation);

/* Removes, of the old installation, every file, link, group folder left
 * empty, registry value and key that the new one does not have, after
 * unregistering its libraries that the new one does not register; and its
 * script and folder when the new one went elsewhere. */
void RemoveWhatIsGone(const Installation* old, const Installation* now, const char* old_script);

void FreeInstallation(Installation* installation);

/* The installation folder that a script names ([Strings] PROGDIR), short form. */
void ScriptFolder(const char* script, char* folder, int size);

#ifdef __cplusplus
}
#endif

#endif

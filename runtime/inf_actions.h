/* The two jobs of the setup script that the INF installers of Windows NT and
 * Wine leave undone: the Windows-95 program-group lines (UpdateInis on
 * setup.ini) and the long-file-name registry sections (RenameFiles and
 * DeleteFiles). The runtime gives the files their long names and makes the
 * links when it installs, and removes links and long-named files at
 * uninstall. */
#ifndef AVVIORA_INF_ACTIONS_H
#define AVVIORA_INF_ACTIONS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Creates (create = 1) or removes (create = 0) the shell links that the
 * UpdateInis sections of [DefaultInstall] describe: a "progman.groups" line
 * names a group folder under the Start menu programs ("..\..\Desktop" is
 * the desktop), each line of that group a link. Removing also removes the
 * group folders that are left empty. Creating needs COM initialised. */
void ShellLinksApply(const char* script, int create);

/* Calls visit with the path of every link (".lnk") and of every program
 * group folder (is_group 1) that ShellLinksApply makes or removes. */
typedef void (*LinkVisitor)(const char* path, int is_group, void* context);
void ShellLinksList(const char* script, LinkVisitor visit, void* context);

/* Renames every installed file from its short to its long name as the
 * RenameFiles lines of the AddReg sections of [DefaultInstall] say, and
 * deletes those keys, which only carry the names. */
void LongNamesRename(const char* script);

/* Deletes every file under its long name as the DeleteFiles lines of the
 * AddReg sections of [DefaultUninstall] say. */
void LongNamesDelete(const char* script);

#ifdef __cplusplus
}
#endif

#endif

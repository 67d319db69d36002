/* Reading the installed setup script beyond the profile calls: the lines of
 * one section, the comma-separated fields of an INF line, and the %...%
 * tokens of its values. Plain C, Win32 only. */
#ifndef AVVIORA_INF_FILE_H
#define AVVIORA_INF_FILE_H

#include <windows.h>

#include "setup_common/text.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Called once per non-empty line of a section; the line may be changed. */
typedef void (*InfLineVisitor)(char* line, void* context);

/* Visits the lines of [section] of the script (name compared ignoring case).
 * Returns 0 when the script cannot be read. */
int InfForEachLine(const char* script, const char* section, InfLineVisitor visit, void* context);

/* Splits an INF line in place into at most max_fields fields: commas outside
 * quotes separate them, quotes are removed, "" inside quotes is one quote,
 * blanks round a field are dropped and a ';' outside quotes ends the line.
 * Returns the number of fields found (it may exceed max_fields); the places
 * of fields[] beyond them hold empty texts. */
int InfSplitFields(char* line, char** fields, int max_fields);

/* Copies text into out (size bytes, always terminated) with every %name%
 * replaced: 10 the Windows folder, 11 the system folder, 17 its inf and
 * 18 its help folder, other names by their [Strings] value of the script;
 * %% is one %, an unknown name stays as it is. */
void InfExpand(const char* script, const char* text, char* out, int size);

/* Calls visit for each line of every section named in the comma-separated
 * value of [install_section] key (for example DefaultInstall, AddReg). */
void InfForEachListedSection(const char* script, const char* install_section, const char* key,
                             InfLineVisitor visit, void* context);

/* The whole file, terminated, in memory the caller frees; NULL when it
 * cannot be read. */
char* InfReadFile(const char* path);

/* The registry root of an INF root token (HKLM, HKCU, HKCR, HKU, in any
 * letter case); NULL for any other. */
HKEY InfRoot(const char* token);

/* The folder that [DestinationDirs] gives a copy section, expanded: "00,X"
 * is X, "ID[,SUB]" the folder of that identifier and its sub-folder. 0 when
 * the script names none. */
int InfDestinationFolder(const char* script, const char* section, char* out, int size);

#ifdef __cplusplus
}
#endif

#endif

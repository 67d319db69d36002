/* What the uninstall needs of its rights. It runs inside rundll32, whose own
 * manifest never asks for an administrator, while what it removes (the
 * installation folder under the program-files folder, the keys under
 * HKEY_LOCAL_MACHINE) can only be changed by one on Windows Vista and later.
 * Removing only what it may would leave half an installation, so the
 * uninstall first finds out whether it can change both, and when it cannot
 * it starts itself again elevated. Plain C, Win32 only. */
#ifndef AVVIORA_ELEVATION_H
#define AVVIORA_ELEVATION_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The key of the programs that the Control Panel lists for uninstalling. */
#define UNINSTALL_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"

/* 1 when this process can create (and delete) a file in folder and write
 * under the registry key root\key; 0 otherwise. Leaves nothing behind. */
int CanChange(const char* folder, HKEY root, const char* key);

/* 1 when this process already runs with an administrator's full rights, or
 * on a system without elevation (before Windows Vista), where asking again
 * would change nothing. */
int IsElevated(void);

/* Starts rundll32 of the system folder on entry of library with arguments,
 * as an administrator (the verb "runas": the system asks the user), and
 * waits until it has ended. 0 when it did not start: the user refused, or
 * the system could not start it. owner is the window that the system's
 * question belongs to (may be NULL). */
int RunElevated(HWND owner, HINSTANCE library, const char* entry, const char* arguments);

#ifdef __cplusplus
}
#endif

#endif

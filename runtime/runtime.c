/* avviora.dll, the setup runtime that every full package installs: into the
 * system folder, or for a package for one user into its installation
 * folder. Its rundll32 entries:
 *   Installa SCRIPT ...       runs the script for the installer stub (install.c)
 *   Disinstalla FOLDER        the uninstall command of the Control Panel
 *   Disinstalla /S FOLDER     the same without the question and without any
 *                             message box (a silent uninstall)
 *   RimuoviCartella PID FOLDER  removes the runtime and the folder of a
 *                             package for one user once the uninstall that
 *                             ran from there (process PID) has ended
 *   CreaCollegamenti SCRIPT   the program group and desktop links, which the
 *                             installer stubs of earlier versions ask for
 * An uninstall of a package for the machine that cannot change the
 * installation folder and HKLM starts itself again as an administrator
 * (elevation.h), with "/ELEVATO" in front of its arguments, so that a start
 * again that got no more rights ends with a message instead of starting yet
 * another. A package for one user has everything under HKCU and the user's
 * folders, and never asks. */
#include "elevation.h"
#include "inf_actions.h"
#include "inf_file.h"
#include "setup_common/library_list.h"
#include "setup_common/run_and_wait.h"

#include <objbase.h>
#include <stdlib.h>
#include <string.h>

static HINSTANCE s_library;

BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reason, (void)reserved;
    s_library = instance;
    return TRUE;
}

/* The argument of a rundll32 entry: blanks and enclosing quotes dropped. */
static void Argument(const char* command_line, char* out, int size) {
    int length;
    while (*command_line == ' ' || *command_line == '"')
        command_line++;
    lstrcpynA(out, command_line, size);
    length = lstrlenA(out);
    while (length > 0 && (out[length - 1] == ' ' || out[length - 1] == '"'))
        out[--length] = 0;
}

void CALLBACK CreaCollegamenti(HWND window, HINSTANCE instance, LPSTR command_line, int show) {
    char script[MAX_PATH];
    (void)window, (void)instance, (void)show;
    Argument(command_line, script, MAX_PATH);
    CoInitialize(NULL);
    ShellLinksApply(script, 1);
    CoUninitialize();
}

static void Unregister(const LibraryList* list, const char* folder) {
    char command[3 * MAX_PATH];
    int i;
    for (i = 0; i < list->count; i++) {
        lstrcpyA(command, "regsvr32 /s /u \"");
        TextAppend(command, sizeof command, folder);
        TextAppend(command, sizeof command, "\\");
        TextAppend(command, sizeof command, list->names[i]);
        TextAppend(command, sizeof command, "\"");
        RunAndWait(command, SW_HIDE);
    }
}

typedef struct {
    const char* folder;
} Leftovers;

/* One line of a copy section: its first field is the installed file. */
static void DeleteCopiedFile(char* line, void* context) {
    const Leftovers* leftovers = context;
    char *field[1], path[2 * MAX_PATH];
    InfSplitFields(line, field, 1);
    if (!IsPlainFileName(field[0]))
        return;
    lstrcpynA(path, leftovers->folder, MAX_PATH);
    TextAppend(path, sizeof path, "\\");
    TextAppend(path, sizeof path, field[0]);
    DeleteFileA(path);
}

/* Whatever the INF uninstaller left of the files that the script copied into
 * the installation folder goes, then the folder itself when it is empty.
 * Nothing else in it is touched. */
static void RemoveLeftovers(const char* script, const char* folder) {
    static char sections[1024];
    char *name[32], target[MAX_PATH];
    char folder_short[MAX_PATH], target_short[MAX_PATH];
    Leftovers leftovers = {folder};
    int i, count;
    if (!GetShortPathNameA(folder, folder_short, MAX_PATH))
        return;
    GetPrivateProfileStringA("DefaultInstall", "CopyFiles", "", sections, sizeof sections, script);
    count = InfSplitFields(sections, name, 32);
    for (i = 0; i < count && i < 32; i++) {
        if (InfDestinationFolder(script, name[i], target, MAX_PATH) &&
            GetShortPathNameA(target, target_short, MAX_PATH) &&
            lstrcmpiA(target_short, folder_short) == 0)
            InfForEachLine(script, name[i], DeleteCopiedFile, &leftovers);
    }
    lstrcpynA(target, folder, MAX_PATH);
    TextAppend(target, MAX_PATH, "\\setup.inf");
    DeleteFileA(target);
    RemoveDirectoryA(folder);
}

/* The root of the uninstall key that the script writes: HKCU for a package
 * for one user. */
static void ReadUninstallRoot(char* line, void* context) {
    char* field[3];
    InfSplitFields(line, field, 3);
    if (lstrcmpiA(field[2], "UninstallString") == 0 && InfRoot(field[0]))
        *(HKEY*)context = InfRoot(field[0]);
}

/* Starts a program without a window and without waiting for it. */
static void RunDetached(char* command_line) {
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    if (CreateProcessA(NULL, command_line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

/* The runtime of a package for one user lies in the folder it removes, and a
 * library cannot delete itself while it runs: a copy in the temporary folder
 * finishes the job once this process has ended. Nothing to do when the
 * runtime lies elsewhere (the system folder). */
static void RemoveOwnFolderLater(const char* folder) {
    char own[MAX_PATH], own_short[MAX_PATH], folder_short[MAX_PATH], temp[MAX_PATH];
    static char copy[MAX_PATH], arguments[2 * MAX_PATH];
    int length;
    GetModuleFileNameA(s_library, own, MAX_PATH);
    if (!GetShortPathNameA(own, own_short, MAX_PATH) ||
        !GetShortPathNameA(folder, folder_short, MAX_PATH))
        return;
    length = lstrlenA(folder_short);
    if (_strnicmp(own_short, folder_short, length) != 0 || own_short[length] != '\\')
        return;
    GetTempPathA(MAX_PATH, temp);
    if (!GetTempFileNameA(temp, "avv", 0, copy) || !CopyFileA(own, copy, FALSE))
        return;
    GetShortPathNameA(copy, copy, MAX_PATH);
    wsprintfA(arguments, "rundll32.exe %s,RimuoviCartella %lu %s", copy, GetCurrentProcessId(),
              folder_short);
    RunDetached(arguments);
}

void CALLBACK RimuoviCartella(HWND window, HINSTANCE instance, LPSTR command_line, int show) {
    char folder[MAX_PATH], runtime[MAX_PATH];
    char* rest;
    DWORD id = strtoul(command_line, &rest, 10);
    HANDLE uninstall = OpenProcess(SYNCHRONIZE, FALSE, id);
    (void)window, (void)instance, (void)show;
    if (uninstall) {
        WaitForSingleObject(uninstall, 60000);
        CloseHandle(uninstall);
    }
    Argument(rest, folder, MAX_PATH);
    if (folder[0] == 0)
        return;
    TextJoin(runtime, MAX_PATH, folder, "\\avviora.dll");
    DeleteFileA(runtime);
    RemoveDirectoryA(folder); /* only when nothing else is left in it */
}

/* The mark of an uninstall started again as an administrator. */
static const char kStartedAgain[] = "/ELEVATO ";

void CALLBACK Disinstalla(HWND window, HINSTANCE instance, LPSTR command_line, int show) {
    char folder[MAX_PATH], script[MAX_PATH], copy[MAX_PATH], temp[MAX_PATH];
    char caption[500], question[500], system_folder[MAX_PATH];
    static char command[3 * MAX_PATH];
    const char* arguments;
    LibraryList in_folder, in_system;
    HKEY root = HKEY_LOCAL_MACHINE;
    int length, silent = 0, started_again = 0;
    (void)instance, (void)show;
    copy[0] = 0;
    while (*command_line == ' ')
        command_line++;
    if (_strnicmp(command_line, kStartedAgain, sizeof kStartedAgain - 1) == 0) {
        started_again = 1;
        command_line += sizeof kStartedAgain - 1;
    }
    arguments = command_line;
    while (*command_line == ' ')
        command_line++;
    if ((command_line[0] == '/' && (command_line[1] == 'S' || command_line[1] == 's')) &&
        (command_line[2] == ' ' || command_line[2] == 0)) {
        silent = 1;
        command_line += 2;
    }
    Argument(command_line, folder, MAX_PATH);
    length = lstrlenA(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = 0;
    lstrcpynA(script, folder, MAX_PATH);
    TextAppend(script, MAX_PATH, "\\setup.inf");
    /* The uninstall removes the installed script, so work from a copy. */
    GetTempPathA(MAX_PATH, temp);
    if (folder[0] == 0 || !GetTempFileNameA(temp, "avv", 0, copy) ||
        !CopyFileA(script, copy, FALSE)) {
        char text[MAX_PATH + 32];
        lstrcpyA(text, "Impossibile trovare ");
        TextAppend(text, sizeof text, script);
        if (!silent)
            MessageBoxA(window, text, "Setup error", MB_OK | MB_ICONSTOP);
        if (copy[0])
            DeleteFileA(copy);
        return;
    }
    InfForEachListedSection(copy, "DefaultInstall", "AddReg", ReadUninstallRoot, &root);
    if (root == HKEY_LOCAL_MACHINE && !CanChange(folder, HKEY_LOCAL_MACHINE, UNINSTALL_KEY)) {
        /* Removing only what it may would leave half an installation: the
         * same uninstall again as an administrator, or nothing. */
        DeleteFileA(copy);
        lstrcpyA(command, kStartedAgain);
        TextAppend(command, sizeof command, arguments);
        if ((started_again || IsElevated() ||
             !RunElevated(window, s_library, "Disinstalla", command)) &&
            !silent) {
            lstrcpyA(command, "Impossibile disinstallare il programma: servono i diritti di "
                              "amministratore per modificare ");
            TextAppend(command, sizeof command, folder);
            TextAppend(command, sizeof command, " e HKEY_LOCAL_MACHINE.");
            MessageBoxA(window, command, "Setup error", MB_OK | MB_ICONSTOP);
        }
        return;
    }
    GetPrivateProfileStringA("Version", "Caption", "", caption, sizeof caption, copy);
    GetPrivateProfileStringA("Version", "AlertMsg", "", question, sizeof question, copy);
    if (!silent && MessageBoxA(window, question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        DeleteFileA(copy);
        return;
    }
    ReadLibraryList(copy, "SelfRegisterP", &in_folder);
    ReadLibraryList(copy, "SelfRegisterS", &in_system);
    Unregister(&in_folder, folder);
    GetSystemDirectoryA(system_folder, MAX_PATH);
    Unregister(&in_system, system_folder);

    lstrcpyA(command, "rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 ");
    TextAppend(command, sizeof command, script);
    if (!RunAndWait(command, SW_HIDE)) {
        /* Without the INF uninstaller the rest would leave half an installation. */
        if (!silent)
            MessageBoxA(window, command, "Setup error", MB_OK | MB_ICONSTOP);
        DeleteFileA(copy);
        return;
    }

    /* What the INF uninstaller leaves undone: the long-named files and the
     * links, which the installation made outside the INF installer. */
    LongNamesDelete(copy);
    ShellLinksApply(copy, 0);
    RemoveLeftovers(copy, folder);
    DeleteFileA(copy);
    RemoveOwnFolderLater(folder);
}

/* The rundll32 entry Installa of avviora.dll: runs a full package's setup
 * script for the installer stub, which passes the script's path and its own
 * command line (for /S and /LOG=):
 *   rundll32.exe C:\~Vudi\avviora.dll,Installa C:\~Vudi\setup.inf STUB-COMMAND-LINE
 * An installed version of the package (its uninstall key, named by the
 * script, exists) makes it an upgrade: an older Versione over a newer one
 * is asked about (No by default), or refused when silent; the old script is
 * kept aside, and once the new files are in place and named, whatever only
 * the old version had goes. Then the links. The verdict goes back to the
 * stub as [Version] Esito of the script: 1 installed, 2 refused; none (0)
 * when the INF installer did not install the script into the folder. */
#include "inf_actions.h"
#include "inf_file.h"
#include "installation.h"
#include "setup_common/run_and_wait.h"

#include <objbase.h>
#include <stdlib.h>
#include <string.h>

enum { VERDICT_FAILED = 0, VERDICT_INSTALLED = 1, VERDICT_REFUSED = 2 };

typedef struct {
    char script[MAX_PATH];
    int silent;
    char log[MAX_PATH];
    HKEY root;              /* of the uninstall key, NULL when the script names none */
    char key[MAX_PATH];     /* Software\...\Uninstall\TITLE */
    char version[64];       /* the new DisplayVersion, "" when none */
} Setup;

/* The script's path, then the stub's command line: its program (perhaps
 * quoted), then options after blanks; /D= takes the rest. */
static void ReadArguments(const char* line, Setup* setup) {
    const char* p;
    int n = 0;
    while (*line == ' ')
        line++;
    while (*line && *line != ' ' && n < MAX_PATH - 1)
        setup->script[n++] = *line++;
    setup->script[n] = 0;
    while (*line == ' ')
        line++;
    if (*line == '"')
        for (line++; *line && *line != '"'; line++)
            ;
    for (p = line; *p; p++) {
        const char* q = p + 1 + (p[1] == '"');
        if (*p != ' ' || q[0] != '/')
            continue;
        if ((q[1] | 0x20) == 's' && (q[2] == ' ' || q[2] == '"' || q[2] == 0))
            setup->silent = 1;
        else if ((q[1] | 0x20) == 'd' && q[2] == '=')
            return;
        else if (_strnicmp(q + 1, "LOG=", 4) == 0)
            for (q += 5, n = 0; *q && *q != ' ' && *q != '"' && n < MAX_PATH - 1; q++)
                setup->log[n++] = *q, setup->log[n] = 0;
    }
}

/* The line "Setup: text" appended to the log file of a silent run. */
static void LogLine(const Setup* setup, const char* text) {
    char line[1100];
    DWORD written;
    HANDLE log;
    if (!setup->log[0])
        return;
    log = CreateFileA(setup->log, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    wsprintfA(line, "Setup: %.1000s\r\n", text);
    WriteFile(log, line, (DWORD)lstrlenA(line), &written, NULL);
    CloseHandle(log);
}

/* A line of [Splash.AddRegEntries] and its kind: the uninstall key is the
 * one whose UninstallString the script writes; its DisplayVersion is the
 * new version. */
static void ReadUninstallEntry(char* line, void* context) {
    Setup* setup = context;
    char* field[5];
    InfSplitFields(line, field, 5);
    if (!InfRoot(field[0]) || !strstr(field[1], "\\Uninstall\\"))
        return;
    if (lstrcmpiA(field[2], "UninstallString") == 0) {
        setup->root = InfRoot(field[0]);
        lstrcpynA(setup->key, field[1], MAX_PATH);
    } else if (lstrcmpiA(field[2], "DisplayVersion") == 0) {
        lstrcpynA(setup->version, field[4], sizeof setup->version);
    }
}

static int ReadText(HKEY key, const char* name, char* text, DWORD size) {
    DWORD type;
    size--;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)text, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        text[0] = 0;
        return 0;
    }
    text[size] = 0;
    return text[0] != 0;
}

/* Compares dotted numbers part by part (missing parts count 0). */
static int CompareVersions(const char* a, const char* b) {
    for (;;) {
        char *end_a, *end_b;
        unsigned long x = strtoul(a, &end_a, 10), y = strtoul(b, &end_b, 10);
        if (x != y)
            return x < y ? -1 : 1;
        if (*end_a != '.' && *end_b != '.')
            return 0;
        a = end_a + (*end_a == '.');
        b = end_b + (*end_b == '.');
    }
}

/* The installed version's folder and version, when the uninstall key is
 * there: InstallLocation, or the folder of its uninstall command. */
static int FindInstalled(const Setup* setup, char* folder, char* version, DWORD version_size) {
    char command[2 * MAX_PATH];
    const char* found;
    HKEY key;
    int installed = 0;
    if (!setup->root ||
        RegOpenKeyExA(setup->root, setup->key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    ReadText(key, "DisplayVersion", version, version_size);
    if (ReadText(key, "InstallLocation", folder, MAX_PATH)) {
        installed = 1;
    } else if (ReadText(key, "UninstallString", command, sizeof command) &&
               (found = strstr(command, ",Disinstalla ")) != NULL) {
        found += 13;
        if (_strnicmp(found, "/S ", 3) == 0)
            found += 3;
        lstrcpynA(folder, found, MAX_PATH);
        installed = 1;
    }
    RegCloseKey(key);
    return installed;
}

/* An older version over a newer one: 1 when it may go on. */
static int AcceptVersion(const Setup* setup, const char* installed) {
    char text[600], title[MAX_PATH], caption[500];
    const char* name = strrchr(setup->key, '\\') + 1;
    if (!setup->version[0] || !installed[0] || CompareVersions(setup->version, installed) >= 0)
        return 1;
    lstrcpynA(title, name, MAX_PATH);
    wsprintfA(text, "\310 installata la versione %.60s di %.200s, pi\371 recente di questa (%.60s).",
              installed, title, setup->version);
    if (setup->silent) {
        TextAppend(text, sizeof text, " L'installazione non \350 stata eseguita.");
        LogLine(setup, text);
        return 0;
    }
    TextAppend(text, sizeof text, "\r\nInstallare comunque la versione ");
    TextAppend(text, sizeof text, setup->version);
    TextAppend(text, sizeof text, "?");
    GetPrivateProfileStringA("Version", "Caption", "", caption, sizeof caption, setup->script);
    return MessageBoxA(NULL, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

/* 1 when the file at path holds exactly the bytes of the script. */
static int HoldsScript(const char* path, const char* script) {
    char *a = InfReadFile(path), *b = InfReadFile(script);
    int same = a && b && strcmp(a, b) == 0;
    free(a);
    free(b);
    return same;
}

static int Install(Setup* setup) {
    static char command[3 * MAX_PATH];
    char folder[MAX_PATH], old_folder[MAX_PATH], old_script[MAX_PATH], kept[MAX_PATH];
    char installed_version[64], temp[MAX_PATH];
    Installation old, now;
    const char* script = setup->script;
    kept[0] = 0;
    InfForEachListedSection(script, "DefaultInstall", "AddReg", ReadUninstallEntry, setup);
    installed_version[0] = 0;
    if (FindInstalled(setup, old_folder, installed_version, sizeof installed_version)) {
        if (!AcceptVersion(setup, installed_version))
            return VERDICT_REFUSED;
        /* The new script takes the old one's place: the old one is kept aside. */
        TextJoin(old_script, MAX_PATH, old_folder, "\\setup.inf");
        GetTempPathA(MAX_PATH, temp);
        if (!GetTempFileNameA(temp, "avv", 0, kept) || !CopyFileA(old_script, kept, FALSE)) {
            if (kept[0])
                DeleteFileA(kept);
            kept[0] = 0;
        }
    }
    /* The folder in its long form, for Apps & Features, where the script asks for it. */
    GetPrivateProfileStringA("Strings", "PROGDIR", "", folder, MAX_PATH, script);
    GetPrivateProfileStringA("Strings", "PROGDIRLONG", "", temp, MAX_PATH, script);
    if (temp[0]) {
        if (!GetLongPathNameA(folder, temp, MAX_PATH))
            lstrcpynA(temp, folder, MAX_PATH);
        WritePrivateProfileStringA("Strings", "PROGDIRLONG", temp, script);
    }

    TextJoin(command, sizeof command,
             "rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 132 ", script);
    TextAppend(folder, MAX_PATH, "\\setup.inf");
    if (!RunAndWait(command, SW_SHOWNORMAL) || !HoldsScript(folder, script)) {
        if (kept[0])
            DeleteFileA(kept);
        return VERDICT_FAILED;
    }
    LongNamesRename(script);
    if (kept[0]) {
        ReadInstallation(kept, 1, &old);
        ReadInstallation(script, 0, &now);
        RemoveWhatIsGone(&old, &now, old_script);
        FreeInstallation(&old);
        FreeInstallation(&now);
        DeleteFileA(kept);
    }
    CoInitialize(NULL);
    ShellLinksApply(script, 1);
    CoUninitialize();
    return VERDICT_INSTALLED;
}

void CALLBACK Installa(HWND window, HINSTANCE instance, LPSTR command_line, int show) {
    static Setup setup;
    char verdict[2] = {0, 0};
    (void)window, (void)instance, (void)show;
    ReadArguments(command_line, &setup);
    verdict[0] = (char)('0' + Install(&setup));
    WritePrivateProfileStringA("Version", "Esito", verdict, setup.script);
}

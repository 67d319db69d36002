/* The setup dialog (resource 101): the package's texts, the installation
 * folder and its browser, "Installa" and "Annulla". Before it is shown the
 * cabinet is copied out and the script's keys are read. */
#include "avviora.h"
#include "resources/resource.h"
#include "setup_common/text.h"

#include <shlobj.h>
#include <stddef.h>

#define SCRIPT g_avviora.temp_script

/* A folder held by a registry value, terminated; 0 when it cannot be read. */
static int ReadFolder(HKEY root, const char* key, const char* value, char* folder) {
    HKEY opened;
    DWORD size = MAX_PATH - 1;
    int read = 0;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        read = RegQueryValueExA(opened, value, NULL, NULL, (BYTE*)folder, &size) == ERROR_SUCCESS;
        folder[read ? size : 0] = 0;
        RegCloseKey(opened);
    }
    return read && folder[0];
}

/* The proposed folder: where the package is installed already, when its
 * script names its uninstall key ([Version] UninstallKey, "HKLM,..." or
 * "HKCU,...") and that key the folder; otherwise the system folder when
 * [Strings] PROGDIR is SYSDIR, the environment's folder that PROGDIR names
 * with "%", made when missing (a package for one user), or the
 * program-files folder; then "\" and DIRDEF. */
static void ProposeFolder(void) {
    char value[MAX_PATH];
    char* folder = g_avviora.install_folder;
    GetPrivateProfileStringA("Strings", "DIRDEF", "", g_avviora.default_subfolder, MAX_PATH,
                             SCRIPT);
    GetPrivateProfileStringA("Version", "UninstallKey", "", value, MAX_PATH, SCRIPT);
    if (value[0] && ReadFolder(value[2] == 'C' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                 value + 5, "InstallLocation", folder))
        return;
    GetPrivateProfileStringA("Strings", "PROGDIR", "", value, MAX_PATH, SCRIPT);
    if (lstrcmpiA(value, "SYSDIR") == 0) {
        GetSystemDirectoryA(folder, MAX_PATH);
    } else if (value[0] == '%') {
        ExpandEnvironmentStringsA(value, folder, MAX_PATH);
        CreateDirectoryA(folder, NULL);
    } else if (!ReadFolder(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           "ProgramFilesDir", folder)) {
        lstrcpynA(folder, "C:\\Program Files", MAX_PATH);
    }
    TextAppend(folder, MAX_PATH, "\\");
    TextAppend(folder, MAX_PATH, g_avviora.default_subfolder);
}

/* The texts of the script's [Version] section: key, and where and in how many
 * bytes the run keeps it. */
#define VERSION_TEXT(key, field) {key, offsetof(Avviora, field), sizeof g_avviora.field}
static const struct VersionText {
    const char* key;
    WORD offset, size;
} kVersionTexts[] = {
    VERSION_TEXT("Caption", caption),       VERSION_TEXT("Label1", label1),
    VERSION_TEXT("Label2", label2),         VERSION_TEXT("Label3", label3),
    VERSION_TEXT("Title", final_title),     VERSION_TEXT("Message", final_text),
    VERSION_TEXT("FailureMsg", failure_text), VERSION_TEXT("StopMsg", stop_text),
};
#define VERSION_TEXTS (sizeof kVersionTexts / sizeof kVersionTexts[0])

/* Sub-steps of the dialog's preparation; 0 ends the installation. */
static int Prepare(void) {
    static char command[3 * MAX_PATH];
    HANDLE cabinet;
    const struct VersionText* text;
    if (!CopyCabinet())
        return 0;
    cabinet = CreateFileA(g_avviora.temp_cabinet, GENERIC_READ, FILE_SHARE_READ, NULL,
                          OPEN_EXISTING, 0, NULL);
    if (cabinet == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(cabinet);

    TextJoin(SCRIPT, MAX_PATH, g_avviora.temp_folder, "setup.inf");
    /* The temporary folder may hold blanks ("C:\Users\Mario Rossi\..."), so
     * it is quoted, and without its final backslash, which would escape the
     * closing quote. */
    {
        char* last = g_avviora.temp_folder + lstrlenA(g_avviora.temp_folder) - 1;
        *last = 0;
        wsprintfA(command, "EXTRAC32 /E /Y /L \"%s\" \"%s\"  setup.inf", g_avviora.temp_folder,
                  g_avviora.temp_cabinet);
        *last = '\\';
    }
    RunAndWait(command, SW_HIDE);

    for (text = kVersionTexts; text < kVersionTexts + VERSION_TEXTS; text++)
        GetPrivateProfileStringA("Version", text->key, "", (char*)&g_avviora + text->offset,
                                 text->size, SCRIPT);
    ProposeFolder();
    g_avviora.browse = (int)GetPrivateProfileIntA("Version", "Browse", 0, SCRIPT);
    if (GetPrivateProfileIntA("Version", "Bkg", 0, SCRIPT) == 1 && !g_avviora.silent) {
        char title[500];
        GetPrivateProfileStringA("Background", "Title", "", title, sizeof title, SCRIPT);
        CreateBackgroundWindow(title, RGB(255, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255));
    }
    g_avviora.final_message = (int)GetPrivateProfileIntA("Version", "FinalMsg", 0, SCRIPT);
    ReadLibraryList(SCRIPT, "SelfRegisterP", &g_avviora.libraries_p);
    ReadLibraryList(SCRIPT, "SelfRegisterS", &g_avviora.libraries_s);
    return 1;
}

/* Shows a path in a control, shortened in its middle when it is too long. */
static void ShowPath(HWND dialog, int control_id, const char* path) {
    char text[MAX_PATH + 4];
    HWND control = GetDlgItem(dialog, control_id);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(control, WM_GETFONT, 0, 0));
    RECT bounds;
    lstrcpynA(text, path, MAX_PATH);
    GetClientRect(control, &bounds);
    DrawTextA(dc, text, -1, &bounds,
              DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SetWindowTextA(control, text);
}

static void ChooseFolder(HWND dialog) {
    BROWSEINFOA browse;
    LPITEMIDLIST chosen;
    char folder[MAX_PATH];
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = dialog;
    browse.lpszTitle = "Selezionare la cartella dove installare il programma:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    chosen = SHBrowseForFolderA(&browse);
    if (!chosen)
        return;
    if (SHGetPathFromIDListA(chosen, folder) && folder[0]) {
        if (folder[lstrlenA(folder) - 1] != '\\')
            TextAppend(folder, MAX_PATH, "\\");
        TextAppend(folder, MAX_PATH, g_avviora.default_subfolder);
        lstrcpynA(g_avviora.install_folder, folder, MAX_PATH);
        ShowPath(dialog, IDC_FOLDER, g_avviora.install_folder);
    }
    CoTaskMemFree(chosen);
}

static const char kInvalidPath[] =
    "Il path indicato non \350 valio. Per favore scegliere un path valido...";

/* "Installa": the folder must exist (its last level is made here) and have a
 * short form, which the script gets; 0 when it has none. */
static int TakeFolder(HWND dialog) {
    char* short_form = g_avviora.install_folder_short;
    DWORD length;
    if (!dialog) /* a silent installation's folder may lie several levels deep */
        SHCreateDirectoryExA(NULL, g_avviora.install_folder, NULL);
    CreateDirectoryA(g_avviora.install_folder, NULL);
    ZeroMemory(short_form, MAX_PATH);
    length = GetShortPathNameA(g_avviora.install_folder, short_form, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        short_form[0] = 0;
        if (dialog)
            MessageBoxA(dialog, kInvalidPath, "Setup", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    return 1;
}

static void Install(HWND dialog) {
    if (TakeFolder(dialog)) {
        DeleteFileA(SCRIPT);
        EndDialog(dialog, IDOK);
    }
}

static void Initialise(HWND dialog) {
    SetWindowTextA(dialog, g_avviora.caption);
    SetDlgItemTextA(dialog, IDC_HEADING, g_avviora.label1);
    SetDlgItemTextA(dialog, IDC_DESCRIPTION, g_avviora.label2);
    SetDlgItemTextA(dialog, IDC_FOLDER_FRAME, g_avviora.label3);
    SetDlgItemTextA(dialog, IDC_FOLDER, g_avviora.install_folder);
    if (g_avviora.browse == 0) {
        /* Without the browse button the field takes its place too. */
        HWND field = GetDlgItem(dialog, IDC_FOLDER);
        MoveWindow(field, 20, 140, 305, 20, TRUE);
        ShowWindow(field, SW_SHOW);
        ShowWindow(GetDlgItem(dialog, IDC_BROWSE), SW_HIDE);
    }
}

static INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    (void)l;
    if (message == WM_INITDIALOG) {
        Initialise(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(w)) {
    case IDOK:
        Install(dialog);
        return TRUE;
    case IDCANCEL:
        DeleteFileA(SCRIPT);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_BROWSE:
        ChooseFolder(dialog);
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunSetupDialog(void) {
    if (!Prepare())
        return 0;
    if (g_avviora.silent) {
        /* No dialog: the proposed folder, or the one /D= names. */
        if (g_avviora.chosen_folder[0])
            lstrcpynA(g_avviora.install_folder, g_avviora.chosen_folder, MAX_PATH);
        if (TakeFolder(NULL))
            return IDOK;
        ShowMessage(kInvalidPath, "Setup", MB_ICONINFORMATION);
        return 0;
    }
    return DialogBoxParamA(g_avviora.instance, MAKEINTRESOURCEA(IDD_SETUP), NULL, SetupDialogProc,
                           0);
}

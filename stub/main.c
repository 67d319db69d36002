/* Avviora, the installer stub: the installation sequence from the setup
 * dialog to the program started at the end. Exit code 1 after an
 * installation, 2 when the user cancels, 0 after a failure; a silent
 * installation (/S) ends with the codes of the Windows Installer instead,
 * which deployment tools read: 0, 1602 and 1603. */
#include "avviora.h"
#include "setup_common/text.h"

#include <objbase.h>
#include <shellapi.h>

enum { EXIT_FAILED = 0, EXIT_INSTALLED = 1, EXIT_CANCELLED = 2 };
/* The same three ends of a silent installation. */
static const WORD kSilentCodes[] = {1603, 0, 1602};

Avviora g_avviora;

static const char kMissingFiles[] = "Installazione annullata\r\n"
                                    "Mancano dei files necessari all'installazione (code: 0002)";

static void DeleteTemporaryFiles(void) {
    DeleteFileA(g_avviora.temp_cabinet);
    DeleteFileA(g_avviora.temp_script);
}

static int Fail(void) {
    ShowMessage(g_avviora.failure_text, "Setup error", MB_ICONSTOP);
    ShowMessage(g_avviora.stop_text, "Setup", MB_ICONEXCLAMATION);
    DeleteTemporaryFiles();
    return EXIT_FAILED;
}

static int Cancel(void) {
    DeleteTemporaryFiles();
    ShowMessage(g_avviora.stop_text, "Setup", MB_ICONEXCLAMATION);
    return EXIT_CANCELLED;
}

/* Finds the unpacked script; 0 when the cabinet brought none. Only the
 * package's own "setup.inf" counts, never another *.inf that someone put
 * into the working folder. */
static int FindScript(void) {
    char* file_part;
    if (GetFileAttributesA(WORK_FOLDER "setup.inf") == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!SearchPathA(NULL, WORK_FOLDER "setup.inf", NULL, sizeof g_avviora.script_path,
                     g_avviora.script_path, &file_part))
        lstrcpynA(g_avviora.script_path, WORK_FOLDER "setup.inf", sizeof g_avviora.script_path);
    return 1;
}

/* The chosen folder goes into the script, and the program to start moves
 * into it: short folder + "\" + the file name of [Version] Run, that is what
 * follows its last "\", "/" or drive colon (name and extension). */
static void WriteChosenFolder(void) {
    const char* script = g_avviora.script_path;
    char run[MAX_PATH];
    const char *name = run, *p;
    WritePrivateProfileStringA("STRINGS", "PROGDIR", g_avviora.install_folder_short, script);
    GetPrivateProfileStringA("Version", "Run", "", run, MAX_PATH, script);
    if (run[0] == 0)
        return;
    for (p = run; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    TextJoin(g_avviora.program_to_start, MAX_PATH, g_avviora.install_folder_short, "\\");
    TextAppend(g_avviora.program_to_start, MAX_PATH, name);
    WritePrivateProfileStringA("Version", "Run", g_avviora.program_to_start, script);
}

/* Runs the unpacked script. A full package carries the setup runtime, which
 * runs the INF installer and does what it leaves undone (long names, links,
 * what only an older installed version had) and may refuse (an older
 * version over a newer one); its verdict, one of the exit codes above, is
 * [Version] Esito of the script: failed when it wrote none. Without the
 * runtime (distribution only) the INF installer runs alone. */
static int RunScript(void) {
    static const char runtime[] = WORK_FOLDER "avviora.dll";
    static char command[1100]; /* wsprintfA writes at most 1025 bytes */
    const char* script = g_avviora.script_path;
    UINT verdict;
    if (GetFileAttributesA(runtime) == INVALID_FILE_ATTRIBUTES) {
        wsprintfA(command, "rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 132 %s",
                  script);
        return RunAndWait(command, SW_SHOWNORMAL);
    }
    wsprintfA(command, "rundll32.exe %s,Installa %s %s", runtime, script, GetCommandLineA());
    if (!RunAndWait(command, SW_SHOWNORMAL))
        return EXIT_FAILED;
    verdict = GetPrivateProfileIntA("Version", "Esito", EXIT_FAILED, script);
    return verdict <= EXIT_CANCELLED ? (int)verdict : EXIT_FAILED;
}

static int Install(void) {
    static char command[3 * MAX_PATH];
    HCURSOR saved_cursor;
    int code;
    INT_PTR choice = RunSetupDialog();
    if (choice == 0 || choice == -1) {
        DeleteTemporaryFiles();
        return EXIT_FAILED;
    }
    if (choice != IDOK)
        return Cancel();
    saved_cursor = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));

    /* The working folder may hold what someone else left there: it is
     * emptied first, and a folder that cannot be emptied is not used. */
    DeleteFolderTree(WORK_FOLDER_TREE);
    if (GetFileAttributesA(WORK_FOLDER_TREE) != INVALID_FILE_ATTRIBUTES) {
        RemoveDirectoryA(g_avviora.install_folder); /* only when still empty */
        return Fail();
    }
    wsprintfA(command, "EXTRAC32 /E /Y /L " WORK_FOLDER " \"%s\"", g_avviora.temp_cabinet);
    if (!RunAndWait(command, SW_SHOWNORMAL))
        return Fail();
    if (!FindScript()) {
        ShowMessage(kMissingFiles, "Setup", MB_ICONSTOP);
        DeleteFolderTree(WORK_FOLDER_TREE);
        DeleteTemporaryFiles();
        return EXIT_FAILED;
    }
    WriteChosenFolder();

    code = RunScript();
    if (code != EXIT_INSTALLED) {
        DeleteFolderTree(WORK_FOLDER_TREE);
        return code == EXIT_CANCELLED ? Cancel() : Fail();
    }
    /* The long names of a package without the runtime, so that the
     * registration finds the files under their own names. */
    RenameToLongNames();

    DeleteFolderTree(WORK_FOLDER_TREE);
    DeleteTemporaryFiles();
    if (g_avviora.libraries_p.count + g_avviora.libraries_s.count > 0)
        RegisterLibraries();
    SetCursor(saved_cursor);
    if (g_avviora.silent)
        return EXIT_INSTALLED;
    if (g_avviora.final_message == 1)
        MessageBoxA(NULL, g_avviora.final_text, g_avviora.final_title, MB_OK | MB_ICONINFORMATION);
    if (g_avviora.program_to_start[0])
        ShellExecuteA(NULL, "open", g_avviora.program_to_start, NULL, NULL, SW_SHOWNORMAL);
    return EXIT_INSTALLED;
}

/* The program's entry point: no C runtime start-up, so that the image stays
 * within its fixed size. */
void AvvioraStart(void) {
    int code;
    g_avviora.instance = (HINSTANCE)&__ImageBase;
    ReadCommandLine();
    CoInitialize(NULL);
    code = Install(); /* COM ends with the process */
    if (g_avviora.silent)
        code = kSilentCodes[code];
    ExitProcess((UINT)code);
}

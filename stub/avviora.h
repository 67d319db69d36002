/* The installer stub Avviora: state of one installation run and the routines
 * of its steps. Texts are ANSI (Windows-1252), buffers zero-terminated. */
#ifndef AVVIORA_H
#define AVVIORA_H

#include <windows.h>

#include "setup_common/library_list.h"
#include "setup_common/run_and_wait.h"

/* The fixed folder into which the whole cabinet is unpacked. */
#define WORK_FOLDER_TREE "C:\\~Vudi"
#define WORK_FOLDER WORK_FOLDER_TREE "\\"

typedef struct {
    HINSTANCE instance;
    char temp_folder[MAX_PATH];        /* with its trailing backslash */
    char temp_cabinet[MAX_PATH];       /* temp_folder + "setup~1.cab" */
    char temp_script[MAX_PATH];        /* temp_folder + "setup.inf" */
    char install_folder[MAX_PATH + 4]; /* long form; room for the ellipsis */
    char install_folder_short[MAX_PATH];
    char default_subfolder[MAX_PATH]; /* [Strings] DIRDEF */
    char caption[500], label1[500], label2[500], label3[500];
    char final_title[50];
    char final_text[100];
    char failure_text[100];
    char stop_text[100];
    int final_message;
    int browse;
    LibraryList libraries_p; /* [SelfRegisterP], from the installation folder */
    LibraryList libraries_s; /* [SelfRegisterS], from the system folder */
    char script_path[256];
    char program_to_start[MAX_PATH];
    int silent;                     /* /S: no window at all */
    char chosen_folder[MAX_PATH];   /* /D=FOLDER, empty without it */
    char log_file[MAX_PATH];        /* /LOG=FILE, empty without it */
} Avviora;

extern Avviora g_avviora;

/* This program's image as the loader mapped it (its instance handle); its
 * headers come first. */
extern IMAGE_DOS_HEADER __ImageBase;

/* cabinet_copy.c: copies the cabinet behind the stub image to the temporary
 * cabinet path, checking it; 1 on success, 0 after the failure message. */
int CopyCabinet(void);

/* package_check.c. The cabinet's header and its first folder entry. */
#define CABINET_HEAD 44

/* 1 when the head of a cabinet is of the builder's kind (one cabinet, no
 * reserve areas, its data blocks inside it) and its size is at most room. */
int CabinetHeaderIsSound(const BYTE* head, DWORD room);

/* 1 when a data block (its 8-byte header, then its data) has its checksum. */
int BlockIsSound(const BYTE* block);

/* 1 when the bytes of the open program file own from at (the end of the
 * cabinet, where the file is positioned) to end are what code signing
 * appends and this program's header declares: nothing for an unsigned
 * package, else zero padding to a multiple of 8 and the certificate table. */
int TailIsSound(HANDLE own, DWORD at, DWORD end);

/* command_line.c: the options of a silent installation (/S, /D=, /LOG=), and
 * the log line that takes the place of a message box when silent. */
void ReadCommandLine(void);
void LogMessage(const char* text, const char* caption);

/* progress_dialog.c: the modeless progress dialog (110), shown, its bar set
 * to 0..range with step 1. */
HWND CreateProgressDialog(DWORD range);

/* background.c: the full-screen gradient window with the given title; NULL
 * when its class cannot be registered. */
HWND CreateBackgroundWindow(const char* title, COLORREF top, COLORREF bottom, COLORREF text);

/* setup_dialog.c: reads the script texts and shows the setup dialog;
 * returns 1 "Installa", 2 "Annulla", 0 when the preparation failed. */
INT_PTR RunSetupDialog(void);

/* registration.c: regsvr32 for every library of both lists. */
void RegisterLibraries(void);

/* long_names.c: renames the installed files to their long names. */
void RenameToLongNames(void);

/* system_calls.c */
void DeleteFolderTree(const char* folder); /* folder without "\" */
void ShowMessage(const char* text, const char* caption, UINT icon);

#endif

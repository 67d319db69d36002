/* Resource ids of the installer stub (Avviora.exe). */
#ifndef AVVIORA_RESOURCE_H
#define AVVIORA_RESOURCE_H

#define IDI_AVVIORA 108

#define IDD_SETUP 101
#define IDD_PROGRESS 110

#define IDC_DESCRIPTION 1004 /* Label2 of the script */
#define IDC_HEADING 1005     /* Label1 of the script */
#define IDC_FOLDER 1008      /* installation folder, read-only */
#define IDC_BROWSE 1009      /* "..." */
#define IDC_PROGRESS_BAR 1010
#define IDC_FOLDER_FRAME 1011 /* Label3 of the script */
#define IDC_PROGRESS_TEXT 1012

#endif

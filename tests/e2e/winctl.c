/* Drives the windows of a program under test by their texts (console tool):
 *   winctl wait TITLE SECONDS          wait for a visible window, print its texts
 *   winctl click TITLE BUTTON SECONDS  wait for such a window with that button,
 *                                      print its texts, press the button
 *   winctl gone TITLE SECONDS          wait until no such window is left
 *   winctl list                        print the visible top-level windows
 *   winctl run PROGRAM ARGS...         run a program, wait for it, print
 *                                      "exit code N" with its whole exit
 *                                      code (a Unix exit status keeps 8 bits)
 * The texts are printed one per line, the window title first. Exit code 0 on
 * success, 1 when the time runs out, the button does not exist or the
 * program does not start. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static HWND FindButton(HWND window, const char* text);

typedef struct {
    const char* title;
    const char* button; /* NULL: any window of that title */
    HWND found;
} Search;

static BOOL CALLBACK MatchTitle(HWND window, LPARAM context) {
    Search* search = (Search*)context;
    char text[512];
    if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) >= 0 &&
        strcmp(text, search->title) == 0 &&
        (!search->button || FindButton(window, search->button))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTitled(const char* title, const char* button) {
    Search search = {title, button, NULL};
    EnumWindows(MatchTitle, (LPARAM)&search);
    return search.found;
}

static HWND WaitFor(const char* title, const char* button, int seconds) {
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    HWND window;
    while ((window = FindTitled(title, button)) == NULL && (int)(end - GetTickCount()) > 0)
        Sleep(200);
    return window;
}

/* A button's text without its mnemonic marks. */
static void PlainText(HWND control, char* text, int size) {
    char raw[512];
    int r, w = 0;
    DWORD_PTR ignored;
    /* WM_GETTEXT, not GetWindowText: only the message reaches the text of
     * an edit control in another process. */
    raw[0] = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof raw, (LPARAM)raw, SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    for (r = 0; raw[r] && w < size - 1; r++)
        if (raw[r] != '&')
            text[w++] = raw[r];
    text[w] = 0;
}

static BOOL CALLBACK PrintChild(HWND child, LPARAM unused) {
    char text[512];
    (void)unused;
    PlainText(child, text, sizeof text);
    if (text[0] && IsWindowVisible(child))
        printf("%s\n", text);
    return TRUE;
}

typedef struct {
    const char* text;
    HWND found;
} ButtonSearch;

static BOOL CALLBACK MatchButton(HWND child, LPARAM context) {
    ButtonSearch* search = (ButtonSearch*)context;
    char text[512], class_name[64];
    GetClassNameA(child, class_name, sizeof class_name);
    PlainText(child, text, sizeof text);
    if (_stricmp(class_name, "Button") == 0 && strcmp(text, search->text) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

static HWND FindButton(HWND window, const char* text) {
    ButtonSearch search = {text, NULL};
    EnumChildWindows(window, MatchButton, (LPARAM)&search);
    return search.found;
}

static BOOL CALLBACK PrintTopLevel(HWND window, LPARAM unused) {
    char text[512], class_name[64];
    (void)unused;
    if (IsWindowVisible(window)) {
        GetWindowTextA(window, text, sizeof text);
        GetClassNameA(window, class_name, sizeof class_name);
        printf("\"%s\" (%s)\n", text, class_name);
    }
    return TRUE;
}

/* Runs argv[0..count-1] as one command line (arguments with blanks quoted). */
static int Run(int count, char** argv) {
    static char line[4096];
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process;
    DWORD code;
    int i;
    for (i = 0; i < count; i++) {
        int quote = strchr(argv[i], ' ') != NULL;
        snprintf(line + strlen(line), sizeof line - strlen(line), "%s%s%s%s", i ? " " : "",
                 quote ? "\"" : "", argv[i], quote ? "\"" : "");
    }
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "winctl: cannot start %s\n", line);
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    printf("exit code %lu\n", (unsigned long)code);
    return 0;
}

int main(int argc, char** argv) {
    HWND window;
    int seconds = argc > 1 ? atoi(argv[argc - 1]) : 0;
    if (argc > 2 && strcmp(argv[1], "run") == 0)
        return Run(argc - 2, argv + 2);
    if (argc == 2 && strcmp(argv[1], "list") == 0) {
        EnumWindows(PrintTopLevel, 0);
        return 0;
    }
    if (argc == 4 && strcmp(argv[1], "gone") == 0) {
        DWORD end = GetTickCount() + (DWORD)seconds * 1000;
        while (FindTitled(argv[2], NULL) && (int)(end - GetTickCount()) > 0)
            Sleep(200);
        return FindTitled(argv[2], NULL) ? 1 : 0;
    }
    if (!((argc == 4 && strcmp(argv[1], "wait") == 0) ||
          (argc == 5 && strcmp(argv[1], "click") == 0))) {
        fprintf(stderr, "usage: winctl wait|gone TITLE SECONDS | click TITLE BUTTON SECONDS\n");
        return 2;
    }
    window = WaitFor(argv[2], argc == 5 ? argv[3] : NULL, seconds);
    if (!window) {
        fprintf(stderr, "winctl: no window \"%s\" within %d s\n", argv[2], seconds);
        return 1;
    }
    Sleep(300); /* let the window finish its initialisation */
    printf("%s\n", argv[2]);
    EnumChildWindows(window, PrintChild, 0);
    fflush(stdout);
    if (argv[1][0] == 'c') {
        HWND button = FindButton(window, argv[3]);
        if (!button) {
            fprintf(stderr, "winctl: no button \"%s\" in \"%s\"\n", argv[3], argv[2]);
            return 1;
        }
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     (LPARAM)button);
    }
    return 0;
}

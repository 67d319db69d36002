/* Drives the windows of a program under test by their texts (console tool):
 *   winctl wait TITLE SECONDS          wait for a visible window, print its texts
 *   winctl click TITLE BUTTON SECONDS  wait for it, print its texts, press BUTTON
 *   winctl gone TITLE SECONDS          wait until no such window is left
 * The texts are printed one per line, the window title first. Exit code 0 on
 * success, 1 when the time runs out or the button does not exist. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    const char *title;
    HWND found;
} Search;

static BOOL CALLBACK MatchTitle(HWND window, LPARAM context)
{
    Search *search = (Search *)context;
    char text[512];
    if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) >= 0 &&
        strcmp(text, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTitled(const char *title)
{
    Search search = {title, NULL};
    EnumWindows(MatchTitle, (LPARAM)&search);
    return search.found;
}

static HWND WaitFor(const char *title, int seconds)
{
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    HWND window;
    while ((window = FindTitled(title)) == NULL && (int)(end - GetTickCount()) > 0)
        Sleep(200);
    return window;
}

/* A button's text without its mnemonic marks. */
static void PlainText(HWND control, char *text, int size)
{
    char raw[512];
    int r, w = 0;
    GetWindowTextA(control, raw, sizeof raw);
    for (r = 0; raw[r] && w < size - 1; r++)
        if (raw[r] != '&')
            text[w++] = raw[r];
    text[w] = 0;
}

static BOOL CALLBACK PrintChild(HWND child, LPARAM unused)
{
    char text[512];
    (void)unused;
    PlainText(child, text, sizeof text);
    if (text[0] && IsWindowVisible(child))
        printf("%s\n", text);
    return TRUE;
}

typedef struct {
    const char *text;
    HWND found;
} ButtonSearch;

static BOOL CALLBACK MatchButton(HWND child, LPARAM context)
{
    ButtonSearch *search = (ButtonSearch *)context;
    char text[512], class_name[64];
    GetClassNameA(child, class_name, sizeof class_name);
    PlainText(child, text, sizeof text);
    if (_stricmp(class_name, "Button") == 0 && strcmp(text, search->text) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char **argv)
{
    HWND window;
    int seconds = argc > 1 ? atoi(argv[argc - 1]) : 0;
    if (argc == 4 && strcmp(argv[1], "gone") == 0) {
        DWORD end = GetTickCount() + (DWORD)seconds * 1000;
        while (FindTitled(argv[2]) && (int)(end - GetTickCount()) > 0)
            Sleep(200);
        return FindTitled(argv[2]) ? 1 : 0;
    }
    if (!((argc == 4 && strcmp(argv[1], "wait") == 0) ||
          (argc == 5 && strcmp(argv[1], "click") == 0))) {
        fprintf(stderr, "usage: winctl wait|gone TITLE SECONDS | click TITLE BUTTON SECONDS\n");
        return 2;
    }
    window = WaitFor(argv[2], seconds);
    if (!window) {
        fprintf(stderr, "winctl: no window \"%s\" within %d s\n", argv[2], seconds);
        return 1;
    }
    Sleep(300); /* let the window finish its initialisation */
    printf("%s\n", argv[2]);
    EnumChildWindows(window, PrintChild, 0);
    fflush(stdout);
    if (argv[1][0] == 'c') {
        ButtonSearch search = {argv[3], NULL};
        EnumChildWindows(window, MatchButton, (LPARAM)&search);
        if (!search.found) {
            fprintf(stderr, "winctl: no button \"%s\" in \"%s\"\n", argv[3], argv[2]);
            return 1;
        }
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.found), BN_CLICKED),
                     (LPARAM)search.found);
    }
    return 0;
}

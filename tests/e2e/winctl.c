/* Drives the windows of the programs under test by their titles, control texts and
 * control numbers (console tool; the output is UTF-8):
 *   winctl wait TITLE SECS              wait for a visible window, print its texts
 *   winctl gone TITLE SECS              wait until no such window is left
 *   winctl click TITLE TEXT SECS        wait for such a window with a visible button of
 *                                       that text ("&" marks aside), print its texts,
 *                                       press the button
 *   winctl press TITLE ID SECS          press the button with that control number
 *   winctl set TITLE ID TEXT            put a text into an edit box or drop-down
 *   winctl get TITLE ID                 print the text of a control
 *   winctl enabled|visible|checked TITLE ID    print 1 or 0
 *   winctl items TITLE ID               print the items of a list or drop-down
 *   winctl select TITLE ID INDEX        select one item of a list or drop-down
 *   winctl file TITLE PATH SECS         type PATH into a file dialog and open it
 *   winctl rect TITLE ID                print the control's screen rectangle
 *   winctl run PROGRAM ARGS...          run a program, wait for it, print "exit code N"
 *                                       with its whole exit code (a Unix exit status
 *                                       keeps 8 bits)
 * A window's texts are printed one per line, title first, then the visible
 * controls in window order. Exit code 0 on success, 1 on failure. Presses are
 * posted, so a modal box that the press opens does not block the tool. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void Print(const wchar_t *text)
{
    char utf8[4096];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    printf("%s\n", utf8);
}

/* The text of a control of another process: GetWindowText would not ask an edit box,
 * WM_GETTEXT does. */
static int Text(HWND control, wchar_t *text, int size)
{
    DWORD_PTR length = 0;
    text[0] = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, size, (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                             &length))
        return 0;
    return (int)length;
}

static BOOL CALLBACK PrintText(HWND control, LPARAM unused)
{
    wchar_t text[4096];
    (void)unused;
    if (IsWindowVisible(control) && Text(control, text, 4096) > 0)
        Print(text);
    return TRUE;
}

/* A button's text is matched as it is written or without its mnemonic marks ("&Yes"
 * matches "Yes"). */
static BOOL SameButtonText(const wchar_t *text, const wchar_t *wanted)
{
    wchar_t plain[512];
    int r, w = 0;
    for (r = 0; text[r] && w < 511; r++)
        if (text[r] != L'&')
            plain[w++] = text[r];
    plain[w] = 0;
    return wcscmp(text, wanted) == 0 || wcscmp(plain, wanted) == 0;
}

typedef struct {
    const wchar_t *text;
    int id;
    HWND found;
    HWND hidden; /* a match that is not visible, used when no visible one exists */
} ControlSearch;

static BOOL CALLBACK MatchControl(HWND control, LPARAM context)
{
    ControlSearch *search = (ControlSearch *)context;
    wchar_t text[512];
    BOOL match;
    if (search->text) {
        wchar_t class_name[64];
        GetClassNameW(control, class_name, 64);
        GetWindowTextW(control, text, 512);
        match = _wcsicmp(class_name, L"Button") == 0 && SameButtonText(text, search->text);
    } else {
        match = GetDlgCtrlID(control) == search->id;
    }
    if (!match)
        return TRUE;
    if (IsWindowVisible(control)) {
        search->found = control;
        return FALSE;
    }
    if (!search->hidden)
        search->hidden = control;
    return TRUE;
}

/* The visible button with that text (TEXT not NULL), or the control with that number. */
static HWND FindControl(HWND window, const wchar_t *text, int id)
{
    ControlSearch search = {text, id, NULL, NULL};
    EnumChildWindows(window, MatchControl, (LPARAM)&search);
    return search.found ? search.found : (text ? NULL : search.hidden);
}

typedef struct {
    const wchar_t *title;
    const wchar_t *button; /* NULL: any window of that title */
    HWND found;
} TitleSearch;

static BOOL CALLBACK MatchTitle(HWND window, LPARAM context)
{
    TitleSearch *search = (TitleSearch *)context;
    wchar_t text[512];
    if (IsWindowVisible(window) && GetWindowTextW(window, text, 512) >= 0 &&
        wcscmp(text, search->title) == 0 &&
        (!search->button || FindControl(window, search->button, 0))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTitled(const wchar_t *title, const wchar_t *button)
{
    TitleSearch search = {title, button, NULL};
    EnumWindows(MatchTitle, (LPARAM)&search);
    return search.found;
}

/* A window that appears while the tool waits gets a moment to finish its
 * initialisation before its texts are read or its buttons pressed. */
static HWND WaitFor(const wchar_t *title, const wchar_t *button, int seconds)
{
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    HWND window = FindTitled(title, button);
    if (window)
        return window;
    while ((window = FindTitled(title, button)) == NULL && (int)(end - GetTickCount()) > 0)
        Sleep(100);
    if (window)
        Sleep(300);
    return window;
}

static int Fail(const char *what, const wchar_t *detail)
{
    char utf8[1024];
    WideCharToMultiByte(CP_UTF8, 0, detail, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(stderr, "winctl: %s \"%s\"\n", what, utf8);
    return 1;
}

static void PrintItems(HWND control)
{
    wchar_t class_name[64];
    wchar_t text[4096];
    BOOL combo;
    int count, i;
    GetClassNameW(control, class_name, 64);
    combo = _wcsicmp(class_name, L"ComboBox") == 0;
    count = (int)SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (i = 0; i < count; ++i) {
        text[0] = 0;
        SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)text);
        Print(text);
    }
}

static void Select(HWND control, int index)
{
    wchar_t class_name[64];
    HWND parent = GetParent(control);
    int id = GetDlgCtrlID(control);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    GetClassNameW(control, class_name, 64);
    if (_wcsicmp(class_name, L"ComboBox") == 0) {
        SendMessageW(control, CB_SETCURSEL, index, 0);
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)control);
        return;
    }
    if (style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
        SendMessageW(control, LB_SETSEL, FALSE, -1);
        SendMessageW(control, LB_SETSEL, TRUE, index);
        SendMessageW(control, LB_SETCARETINDEX, index, FALSE);
    } else {
        SendMessageW(control, LB_SETCURSEL, index, 0);
    }
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)control);
}

/* The file name box of a common file dialog: the edit inside its drop-down, or a
 * plain edit box. */
static HWND FileNameBox(HWND dialog)
{
    HWND box = FindControl(dialog, NULL, 0x47c); /* cmb13 */
    if (box) {
        HWND edit = FindWindowExW(box, NULL, L"Edit", NULL);
        if (edit)
            return edit;
        return box;
    }
    return FindControl(dialog, NULL, 0x480); /* edt1 */
}

/* Runs argv[0..count-1] as one command line (arguments with blanks quoted). */
static int Run(int count, wchar_t **argv)
{
    static wchar_t line[4096];
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process;
    DWORD code;
    int i;
    for (i = 0; i < count; i++) {
        int quote = wcschr(argv[i], L' ') != NULL;
        size_t used = wcslen(line);
        _snwprintf(line + used, 4096 - used, L"%ls%ls%ls%ls", i ? L" " : L"", quote ? L"\"" : L"",
                   argv[i], quote ? L"\"" : L"");
    }
    line[4095] = 0;
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return Fail("cannot start", line);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    printf("exit code %lu\n", (unsigned long)code);
    return 0;
}

int wmain(int argc, wchar_t **argv)
{
    HWND window, control;
    const wchar_t *verb;
    int seconds = 10;
    if (argc > 2 && wcscmp(argv[1], L"run") == 0)
        return Run(argc - 2, argv + 2);
    if (argc < 3)
        return Fail("usage: winctl VERB TITLE ...", L"");
    verb = argv[1];
    if (wcscmp(verb, L"gone") == 0) {
        DWORD end = GetTickCount() + (DWORD)_wtoi(argv[3]) * 1000;
        while (FindTitled(argv[2], NULL) && (int)(end - GetTickCount()) > 0)
            Sleep(100);
        return FindTitled(argv[2], NULL) ? 1 : 0;
    }
    if (wcscmp(verb, L"wait") == 0 || wcscmp(verb, L"click") == 0 || wcscmp(verb, L"press") == 0 ||
        wcscmp(verb, L"file") == 0)
        seconds = _wtoi(argv[argc - 1]);
    window = WaitFor(argv[2], wcscmp(verb, L"click") == 0 && argc == 5 ? argv[3] : NULL, seconds);
    if (!window)
        return Fail("no window", argv[2]);
    if (wcscmp(verb, L"wait") == 0 || wcscmp(verb, L"click") == 0) {
        wchar_t title[512];
        GetWindowTextW(window, title, 512);
        Print(title);
        EnumChildWindows(window, PrintText, 0);
        fflush(stdout);
    }
    if (wcscmp(verb, L"wait") == 0)
        return 0;
    if (wcscmp(verb, L"click") == 0 && argc == 5) {
        control = FindControl(window, argv[3], 0);
        if (!control)
            return Fail("no button", argv[3]);
        if (!IsWindowEnabled(control))
            return Fail("disabled button", argv[3]);
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (wcscmp(verb, L"file") == 0 && argc == 5) {
        HWND box = FileNameBox(window);
        if (!box)
            return Fail("no file name box in", argv[2]);
        SendMessageW(box, WM_SETTEXT, 0, (LPARAM)argv[3]);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     (LPARAM)GetDlgItem(window, IDOK));
        return 0;
    }
    if (argc < 4)
        return Fail("missing control number for", verb);
    control = FindControl(window, NULL, _wtoi(argv[3]));
    if (!control)
        return Fail("no control", argv[3]);
    if (wcscmp(verb, L"press") == 0) {
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (wcscmp(verb, L"set") == 0 && argc == 5) {
        wchar_t class_name[64];
        GetClassNameW(control, class_name, 64);
        SendMessageW(control, WM_SETTEXT, 0, (LPARAM)argv[4]);
        if (_wcsicmp(class_name, L"ComboBox") == 0)
            SendMessageW(GetParent(control), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(control), CBN_EDITCHANGE), (LPARAM)control);
        return 0;
    }
    if (wcscmp(verb, L"get") == 0) {
        wchar_t text[4096];
        Text(control, text, 4096);
        Print(text);
        return 0;
    }
    if (wcscmp(verb, L"enabled") == 0 || wcscmp(verb, L"visible") == 0 ||
        wcscmp(verb, L"checked") == 0) {
        BOOL on = verb[0] == L'e'   ? IsWindowEnabled(control)
                  : verb[0] == L'v' ? IsWindowVisible(control)
                                    : SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        printf("%d\n", on ? 1 : 0);
        return 0;
    }
    if (wcscmp(verb, L"items") == 0) {
        PrintItems(control);
        return 0;
    }
    if (wcscmp(verb, L"select") == 0 && argc == 5) {
        Select(control, _wtoi(argv[4]));
        return 0;
    }
    if (wcscmp(verb, L"rect") == 0) {
        RECT r;
        GetWindowRect(control, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    return Fail("unknown verb", verb);
}

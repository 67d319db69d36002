/* Drives the wizard's windows by their titles, control texts and control numbers
 * (console tool; the output is UTF-8):
 *   wizctl wait TITLE SECS              wait for a visible window, print its texts
 *   wizctl gone TITLE SECS              wait until no such window is left
 *   wizctl click TITLE TEXT SECS        press the visible button with that text
 *   wizctl press TITLE ID SECS          press the button with that control number
 *   wizctl set TITLE ID TEXT            put a text into an edit box or drop-down
 *   wizctl get TITLE ID                 print the text of a control
 *   wizctl enabled TITLE ID             print 1 or 0
 *   wizctl visible TITLE ID             print 1 or 0
 *   wizctl checked TITLE ID             print 1 or 0
 *   wizctl items TITLE ID               print the items of a list or drop-down
 *   wizctl select TITLE ID INDEX        select one item of a list or drop-down
 *   wizctl file TITLE PATH SECS         type PATH into a file dialog and open it
 *   wizctl rect TITLE ID                print the control's screen rectangle
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

#define Wide(text) (text)

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

typedef struct {
    const wchar_t *title;
    HWND found;
} TitleSearch;

static BOOL CALLBACK MatchTitle(HWND window, LPARAM context)
{
    TitleSearch *search = (TitleSearch *)context;
    wchar_t text[512];
    if (IsWindowVisible(window) && GetWindowTextW(window, text, 512) >= 0 &&
        wcscmp(text, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTitled(const wchar_t *title)
{
    TitleSearch search = {title, NULL};
    EnumWindows(MatchTitle, (LPARAM)&search);
    return search.found;
}

static HWND WaitFor(const wchar_t *title, int seconds)
{
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    HWND window;
    while ((window = FindTitled(title)) == NULL && (int)(end - GetTickCount()) > 0)
        Sleep(100);
    return window;
}

/* Visible: the control and every parent up to the top-level window. */
static BOOL ReallyVisible(HWND control)
{
    return IsWindowVisible(control);
}

static BOOL CALLBACK PrintText(HWND control, LPARAM unused)
{
    wchar_t text[4096];
    (void)unused;
    if (ReallyVisible(control) && Text(control, text, 4096) > 0)
        Print(text);
    return TRUE;
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
        match = _wcsicmp(class_name, L"Button") == 0 && wcscmp(text, search->text) == 0;
    } else {
        match = GetDlgCtrlID(control) == search->id;
    }
    if (!match)
        return TRUE;
    if (ReallyVisible(control)) {
        search->found = control;
        return FALSE;
    }
    if (!search->hidden)
        search->hidden = control;
    return TRUE;
}

static HWND FindControl(HWND window, const wchar_t *text, int id)
{
    ControlSearch search = {text, id, NULL, NULL};
    EnumChildWindows(window, MatchControl, (LPARAM)&search);
    return search.found ? search.found : (text ? NULL : search.hidden);
}

static int Fail(const char *what, const wchar_t *detail)
{
    char utf8[1024];
    WideCharToMultiByte(CP_UTF8, 0, detail, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(stderr, "wizctl: %s \"%s\"\n", what, utf8);
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

int wmain(int argc, wchar_t **argv)
{
    HWND window, control;
    const wchar_t *verb;
    int seconds = 10;
    if (argc < 3)
        return Fail("usage: wizctl VERB TITLE ...", L"");
    verb = argv[1];
    if (wcscmp(verb, L"gone") == 0) {
        wchar_t *title = Wide(argv[2]);
        DWORD end = GetTickCount() + (DWORD)_wtoi(argv[3]) * 1000;
        while (FindTitled(title) && (int)(end - GetTickCount()) > 0)
            Sleep(100);
        return FindTitled(title) ? 1 : 0;
    }
    if (wcscmp(verb, L"wait") == 0 || wcscmp(verb, L"click") == 0 || wcscmp(verb, L"press") == 0 ||
        wcscmp(verb, L"file") == 0)
        seconds = _wtoi(argv[argc - 1]);
    window = WaitFor(Wide(argv[2]), seconds);
    if (!window)
        return Fail("no window", argv[2]);
    if (wcscmp(verb, L"wait") == 0) {
        wchar_t title[512];
        GetWindowTextW(window, title, 512);
        Print(title);
        EnumChildWindows(window, PrintText, 0);
        return 0;
    }
    if (wcscmp(verb, L"click") == 0 && argc == 5) {
        DWORD end = GetTickCount() + (DWORD)seconds * 1000;
        while ((control = FindControl(window, Wide(argv[3]), 0)) == NULL &&
               (int)(end - GetTickCount()) > 0)
            Sleep(100);
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
        SendMessageW(box, WM_SETTEXT, 0, (LPARAM)Wide(argv[3]));
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
        SendMessageW(control, WM_SETTEXT, 0, (LPARAM)Wide(argv[4]));
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
    if (wcscmp(verb, L"enabled") == 0) {
        printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (wcscmp(verb, L"visible") == 0) {
        printf("%d\n", IsWindowVisible(control) ? 1 : 0);
        return 0;
    }
    if (wcscmp(verb, L"checked") == 0) {
        printf("%d\n", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
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

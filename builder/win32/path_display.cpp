// Shortened path displays with their tool tips.
#include "builder/win32/path_display.h"

#include <commctrl.h>

#include <vector>

#include "builder/win32/text.h"

namespace win32ui {

HWND CreatePathTooltips(HWND owner) {
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600);
    return tips;
}

namespace {

void SetTip(HWND tips, HWND label, const std::wstring& text) {
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(label);
    tool.uId = (UINT_PTR)label;
    if (!tips) {
        return;
    }
    SendMessageW(tips, TTM_DELTOOLW, 0, (LPARAM)&tool);
    if (!text.empty()) {
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tips, TTM_ADDTOOLW, 0, (LPARAM)&tool);
    }
}

} // namespace

void ShowPath(HWND tooltips, HWND page, HWND label, const std::string& fullPath) {
    std::wstring full = Widen(fullPath);
    RECT r;
    GetClientRect(label, &r);
    r.right = r.right * 97 / 100;
    // DT_MODIFYSTRING may write up to four characters more than the text.
    std::vector<wchar_t> fitted(full.begin(), full.end());
    fitted.resize(full.size() + 5, L'\0');
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(page, WM_GETFONT, 0, 0));
    DrawTextW(dc, fitted.data(), -1, &r,
              DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    std::wstring shown(fitted.data());
    SetWindowTextW(label, shown.c_str());
    SetTip(tooltips, label, shown == full ? std::wstring() : full);
}

} // namespace win32ui

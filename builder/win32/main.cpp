// Velaset.exe: the wizard program.
#include <windows.h>

#include <commctrl.h>

#include "builder/win32/text.h"
#include "builder/win32/wizard_window.h"
#include "platform/message_box.h"

namespace {

// The whole command line after the program's name, leading blanks dropped: the shell
// passes a project's path unquoted ("%1"), blanks and all. A path enclosed in quotes
// (as other programs pass it) loses them, since no path holds a quote itself.
std::string ArgumentsOfCommandLine() {
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') {
            ++p;
        }
        if (*p) {
            ++p;
        }
    } else {
        while (*p && *p != L' ' && *p != L'\t') {
            ++p;
        }
    }
    while (*p == L' ' || *p == L'\t') {
        ++p;
    }
    std::wstring rest(p);
    while (!rest.empty() && (rest.back() == L' ' || rest.back() == L'\t')) {
        rest.pop_back();
    }
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') {
        rest = rest.substr(1, rest.size() - 2);
    }
    return win32ui::Narrow(rest);
}

UINT IconStyle(platform::MessageIcon icon) {
    switch (icon) {
    case platform::MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case platform::MessageIcon::Stop:
        return MB_ICONSTOP;
    case platform::MessageIcon::Question:
        return MB_ICONQUESTION;
    default:
        return MB_ICONINFORMATION;
    }
}

// The wizard's boxes belong to the window the user works in, so they are modal to it.
// Questions default to No: each of them (leaving, deleting an entry, opening a project
// without the entries its load left out) loses work.
platform::MessageAnswer OwnedMessageBox(const platform::MessageBoxCall& call) {
    UINT style = IconStyle(call.icon) | MB_SETFOREGROUND;
    style |= call.buttons == platform::MessageButtons::YesNo ? (MB_YESNO | MB_DEFBUTTON2) : MB_OK;
    int answer = MessageBoxW(GetActiveWindow(), win32ui::Widen(call.text).c_str(),
                             win32ui::Widen(call.title).c_str(), style);
    if (call.buttons == platform::MessageButtons::YesNo) {
        return answer == IDYES ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
    }
    return platform::MessageAnswer::Ok;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    platform::ScopedMessageBoxHandler boxes(OwnedMessageBox);
    win32ui::WizardWindow wizard(instance, ArgumentsOfCommandLine());
    if (!wizard.Create()) {
        return 0;
    }
    return wizard.Run();
}

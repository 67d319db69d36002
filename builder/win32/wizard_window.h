// frmWizard: the wizard window with its header, eight stacked pages and the button row.
// It holds the Project, the page controller and the start-up routine, and moves text
// between its controls and them.
#ifndef VELASET_BUILDER_WIN32_WIZARD_WINDOW_H
#define VELASET_BUILDER_WIN32_WIZARD_WINDOW_H

#include <windows.h>

#include <string>

#include "builder/project/project.h"
#include "builder/win32/progress_box.h"
#include "builder/wizard/startup.h"
#include "builder/wizard/wizard_controller.h"

namespace win32ui {

class WizardWindow {
  public:
    WizardWindow(HINSTANCE instance, std::string commandLine);
    ~WizardWindow();

    // Form_Load. False when another copy runs: the program ends at once.
    bool Create();
    // The message loop, until the window is closed.
    int Run();

    static INT_PTR CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
    static INT_PTR CALLBACK HeaderProc(HWND, UINT, WPARAM, LPARAM);
    static INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM);

    HWND Main() const { return main_; }
    HWND Page(int index) const { return pages_[index]; }
    void ShowAgain(); // the about box is gone
    void OpenHelp(HWND owner);

    // Riempi on the last page (the pipeline calls it through the runner).
    void Riempi(const std::string& percentText);
    void ClearProgress();

  private:
    INT_PTR OnMain(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnPage(int page, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPageCommand(int page, HWND dialog, int id, int code);
    HBRUSH PageColour(int id, HDC dc, bool enabled) const;

    // The current page: visibility, header, buttons, every field.
    void ShowCurrentPage();
    void RefreshFields();
    void RefreshLists();
    void RefreshFileButtons();
    void RefreshLinkButtons();
    void RefreshRegistryButtons();
    void RefreshPathDisplays();
    void RefreshLastPage();
    void RefreshFirstPage();
    void TakeFocusRequest();
    void EndTitleEditIfFocused();

    void OnNext();
    void OnBack();
    void OnFinish();
    void OnAbout();
    void OnClose();
    void RunBuild();

    // Page commands
    void OnOpenProject();
    void OnAddFiles();
    void OnDeleteFiles();
    void OnDeleteAllFiles();
    void OnChangeDestination();
    void OnFileSelection(int id);
    void OnLinkCommand(int command);
    void OnLinkSelection(int id);
    void OnRegistryCommand(int id);
    void OnSaveProjectAs();
    void OnSaveExecutableAs();
    void PlaceColumns();
    void PaintColumnHeaders(int page, HDC dc);
    void ContextMenu(int page, HWND control, LPARAM lParam);

    HINSTANCE instance_;
    velaset::Project project_;
    velaset::WizardController wizard_;
    velaset::Startup startup_;
    HWND main_ = nullptr;
    HWND header_ = nullptr;
    HWND pages_[velaset::kWizardPageCount] = {};
    HWND tooltip_ = nullptr;
    HWND about_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT headingFont_ = nullptr;
    HFONT welcomeFont_ = nullptr;
    HBRUSH white_ = nullptr;
    HBRUSH info_ = nullptr;
    HBRUSH paleYellow_ = nullptr;
    HBRUSH menu_ = nullptr;
    HBRUSH buttonFace_ = nullptr;
    ProgressBox progress_;
    bool refreshing_ = false;
    bool building_ = false;
};

} // namespace win32ui

#endif

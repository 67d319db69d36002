// The wizard's page controller (frmWizard without its windows): which of the eight
// pages is shown, the headings, moving forward and back, the check that a page is
// complete before leaving it, the first page's choices, the build trigger of the last
// page and its texts, "&Fine" and the question before closing. The windows only copy
// text between their controls and this class and the Project it edits.
#ifndef VELASET_BUILDER_WIZARD_WIZARD_CONTROLLER_H
#define VELASET_BUILDER_WIZARD_WIZARD_CONTROLLER_H

#include <string>
#include <utility>
#include <vector>

#include "builder/package/build_pipeline.h"
#include "builder/project/project.h"
#include "builder/wizard/last_page.h"
#include "builder/wizard/wizard_build_status.h"

namespace velaset {

constexpr int kWizardPageCount = 8;
constexpr int kLastPage = 7;
constexpr int kLinksPage = 3;

// The first page's choice between Option1 and Option2.
enum class ProjectChoice {
    New,      // "Crea una nuova installazione"
    Existing, // "Apri una installazione esistente"
};

class WizardController {
  public:
    // applicationFolder is where a new project's ExeFile and ProgFile go.
    WizardController(Project& project, std::string applicationFolder);

    Project& project() { return project_; }
    const Project& project() const { return project_; }
    const std::string& ApplicationFolder() const { return applicationFolder_; }

    // --- Page sequence -------------------------------------------------------------
    int CurrentPage() const { return page_; }
    // WizardShowPage: applies what showing the current page does to the project and
    // to the button states (page 1 may reset a new project, page 5 refills the launch
    // choices).
    void ShowPage();
    // Sets the page and shows it (start-up and "&Fine" go to page 0 this way).
    void GoToPage(int page);
    bool BackEnabled() const { return backEnabled_; }
    bool NextEnabled() const { return nextEnabled_; }
    bool FinishEnabled() const { return finishEnabled_; }
    bool HeaderVisible() const { return page_ >= 1 && page_ <= 6; }
    // Heading and sub-heading of the current page ("" on pages 0 and 7).
    std::string Heading() const;
    std::string SubHeading() const;

    enum class NextResult { Moved, Refused, Build };
    // "&Avanti >" below the last page: check the page, move on (skipping the links
    // page while the distribution-only flag is set). On the last page it only answers
    // Build: the caller then runs RunBuild.
    NextResult Next();
    // "< &Indietro": no check; skips the links page like Next.
    void Back();
    // VerificaPagina: true when the page may be left forward. On the first failing
    // rule the message box (exclamation, "Velaset") is shown; the two silent
    // corrections of pages 4 and 5 are made here. After the page's own rules, a value of
    // the page that the table of fields refuses (builder/project/project_fields.h) keeps
    // the page, with the table's sentence.
    bool VerificaPagina(int page);

    // --- First page ------------------------------------------------------------------
    ProjectChoice Choice() const { return choice_; }
    void SetChoice(ProjectChoice choice) { choice_ = choice; }
    // lblCarica: the full path of the loaded project ("" when none).
    const std::string& LoadedProject() const { return loadedProject_; }
    // A project chosen in the open dialog (or named on the command line): it becomes
    // ProgFile, is shown in lblCarica and is loaded at once. What the load could not take
    // as stored is told in one box; when it left entries out, the box asks whether to
    // open the project without them (No, the wizard's default answer, leaves everything
    // as it was, and the result is a failure of kind Refused).
    platform::Status OpenProject(const std::string& path);
    // The press on imgIco: picture and "Opzioni" frame change places.
    void ToggleOptions() { optionsShown_ = !optionsShown_; }
    bool OptionsShown() const { return optionsShown_; }
    int ChkInf() const { return chkInf_; } // "Crea solo file inf"
    int ChkMod() const { return chkMod_; } // "Modifica file inf"
    void SetChkInf(int value) { chkInf_ = value ? 1 : 0; }
    void SetChkMod(int value) { chkMod_ = value ? 1 : 0; }

    // --- Page 4 and 5 states -----------------------------------------------------------
    bool UninstallCheckEnabled() const;  // chkUninstall
    bool UninstallStringEnabled() const; // txtDisinstalla
    // The drop-down of txtLaunch: the file names of the files whose destination is
    // exactly "D", in list order (refilled each time page 5 is shown).
    const std::vector<std::string>& LaunchChoices() const { return launchChoices_; }

    // --- Last page ----------------------------------------------------------------------
    // The texts and the bar of the last page.
    const velaset::LastPage& LastPage() const { return lastPage_; }
    // How the window draws the bar during a build.
    void SetProgressDisplay(ProgressDisplay display) { progressDisplay_ = std::move(display); }
    // The new-project reset also puts the last page back into its state before a build
    // (the window clears the progress box).
    void RestoreLastPage();
    // The build trigger: disables the three navigation buttons, runs the script-only
    // run ("Crea solo file inf") or the build ("Modifica file inf" lets the user edit
    // the script first) and rewrites the last page's texts; only "&Fine" is enabled
    // after it. True when the run succeeded.
    bool RunBuild(const BuildServices& services);

    // --- Reset, finish, exit ---------------------------------------------------------------
    // The new-project reset of the project and of the last page.
    void ResetToNewProject();
    // Step 8 of the start-up: a command line names a project to open, else the
    // new-project reset. The command line is taken whole and unchanged.
    void LoadOrReset(const std::string& commandLine);
    // "&Fine", after the start-up routine has run again: Option1, lblCarica empty.
    void AfterFinish();
    // Form_QueryUnload: "Vuoi uscire da Velaset?"; true when the answer is Yes.
    bool ConfirmExit() const;

  private:
    bool Refuse(const char* message) const;
    // The page's own rules, then the table of fields for the fields it edits.
    bool VerificaPaginaRules(int page);
    bool PageFieldsFit(int page);
    // Refuse with the status's message; true when it is Ok.
    bool RefuseUnless(const platform::Status& status) const;
    void Move(int step);

    Project& project_;
    std::string applicationFolder_;
    int page_ = 0;
    bool goingBack_ = false;
    bool backEnabled_ = false;
    bool nextEnabled_ = true;
    bool finishEnabled_ = false;
    ProjectChoice choice_ = ProjectChoice::New;
    std::string loadedProject_;
    bool optionsShown_ = false;
    int chkInf_ = 0;
    int chkMod_ = 0;
    std::vector<std::string> launchChoices_;
    velaset::LastPage lastPage_;
    ProgressDisplay progressDisplay_;
};

} // namespace velaset

#endif

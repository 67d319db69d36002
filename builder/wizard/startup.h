// Start-up of the wizard (Form_Load of frmWizard) and its shell integration: one
// running copy, the ".mip" file type, the program-files label, the help file and the
// project named on the command line. "&Fine" runs the same routine again.
#ifndef VELASET_BUILDER_WIZARD_STARTUP_H
#define VELASET_BUILDER_WIZARD_STARTUP_H

#include <functional>
#include <string>

#include "builder/wizard/wizard_controller.h"

namespace velaset {

// The name under which the running copy is claimed.
extern const char* const kSingleInstanceName;

// The help shipped beside the program, opened with F1 and from the about box.
std::string HelpFilePath(const std::string& applicationFolder);

// The values of the ".mip" registration: short (8.3) path of the application folder +
// "\velaset.exe %1" and + "\velaset.exe,0". An application folder without a short form
// is used as it is.
std::string OpenCommandForProjects(const std::string& applicationFolder);
std::string DefaultIconForProjects(const std::string& applicationFolder);

// lblVersion of the about box: "Versione 3.1.1".
std::string AboutVersionText(int major, int minor, int revision);

class Startup {
  public:
    // claim answers whether this copy may run; by default it claims
    // kSingleInstanceName from the system.
    using Claim = std::function<bool()>;
    Startup(WizardController& wizard, std::string commandLine, Claim claim = DefaultClaim());
    static Claim DefaultClaim();

    // Form_Load. The first run claims the single instance and answers false when
    // another copy runs (the program then ends at once, without a message); later
    // runs ("&Fine") keep the claim they hold.
    bool FormLoad();

    // lblProgFiles: the program-files folder with its trailing "\".
    const std::string& ProgramFilesLabel() const { return programFiles_; }
    const std::string& HelpFile() const { return helpFile_; }
    const std::string& CommandLine() const { return commandLine_; }

    // "&Fine": the start-up routine again, then Option1 with lblCarica empty.
    void Finish();

  private:
    WizardController& wizard_;
    std::string commandLine_;
    std::string programFiles_;
    std::string helpFile_;
    Claim claim_;
    bool claimed_ = false;
};

} // namespace velaset

#endif

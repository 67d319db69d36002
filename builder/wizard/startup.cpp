// Start-up of the wizard and its shell integration.
#include "builder/wizard/startup.h"

#include <utility>

#include "platform/registry.h"
#include "platform/short_path.h"
#include "platform/single_instance.h"

namespace velaset {

const char* const kSingleInstanceName = "Velaset.Wizard";

namespace {

std::string ShortFolder(const std::string& folder) {
    std::string shortForm = platform::ShortPath(folder);
    return shortForm.empty() ? folder : shortForm;
}

} // namespace

std::string HelpFilePath(const std::string& applicationFolder) {
    return applicationFolder + "\\velaset.htm";
}

std::string OpenCommandForProjects(const std::string& applicationFolder) {
    return ShortFolder(applicationFolder) + "\\velaset.exe %1";
}

std::string DefaultIconForProjects(const std::string& applicationFolder) {
    return ShortFolder(applicationFolder) + "\\velaset.exe,0";
}

std::string AboutVersionText(int major, int minor, int revision) {
    return "Versione " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

Startup::Startup(WizardController& wizard, std::string commandLine, Claim claim)
    : wizard_(wizard), commandLine_(std::move(commandLine)), claim_(std::move(claim)) {}

Startup::Claim Startup::DefaultClaim() {
    return [] { return platform::ClaimSingleInstance(kSingleInstanceName); };
}

bool Startup::FormLoad() {
    if (!claimed_) {
        if (!claim_()) {
            return false;
        }
        claimed_ = true;
    }
    const std::string& folder = wizard_.ApplicationFolder();
    // Written at every start so that a moved program repairs its association; a
    // refused write leaves the builder working without one.
    platform::RegisterProjectFileType(OpenCommandForProjects(folder),
                                      DefaultIconForProjects(folder));
    programFiles_ = DefCartellaFromSystem();
    wizard_.project().SetDefaultMessages();
    helpFile_ = HelpFilePath(folder);
    wizard_.GoToPage(0);
    wizard_.LoadOrReset(commandLine_);
    return true;
}

void Startup::Finish() {
    FormLoad();
    wizard_.AfterFinish();
}

} // namespace velaset

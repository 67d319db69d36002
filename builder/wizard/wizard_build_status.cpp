#include "builder/wizard/wizard_build_status.h"

#include "builder/package/success_message.h"
#include "platform/message_box.h"

namespace velaset {

namespace {
const char kTitle[] = "Velaset";
} // namespace

WizardBuildStatus::WizardBuildStatus(LastPage& page, const ProgressDisplay& display,
                                     bool scriptOnly)
    : page_(page), display_(display), scriptOnly_(scriptOnly) {}

void WizardBuildStatus::Progress(const BuildProgress& progress) {
    page_.percent = progress.percent;
    page_.progressCleared = false;
    if (display_.draw)
        display_.draw(progress.percent);
    if (!scriptOnly_ && progress.percent > 0 && display_.pause)
        display_.pause();
}

void WizardBuildStatus::BuildFailed(const BuildFailure& failure) {
    if (!failure.text.empty())
        platform::ShowMessageBox(kTitle, failure.text, platform::MessageIcon::Stop);
    page_.percent = 0;
    page_.progressCleared = true;
    page_.ShowBuildFailed();
}

void WizardBuildStatus::BuildDone(const std::string& path) {
    if (scriptOnly_) {
        page_.ShowScriptOnlyDone();
        return;
    }
    platform::ShowMessageBox(kTitle, BuildSuccessMessage(path), platform::MessageIcon::Exclamation);
    page_.ShowBuildDone();
}

} // namespace velaset

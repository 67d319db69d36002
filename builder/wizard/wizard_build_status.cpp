#include "builder/wizard/wizard_build_status.h"

#include "builder/package/success_message.h"
#include "platform/message_box.h"
#include "platform/source_path.h"

namespace velaset {

namespace {
const char kTitle[] = "Velaset";
} // namespace

WizardBuildStatus::WizardBuildStatus(LastPage& page, const ProgressDisplay& display,
                                     bool scriptOnly)
    : page_(page), display_(display), scriptOnly_(scriptOnly) {}

std::string PackingLine(const std::string& sourcePath) {
    return "Compressione di " + platform::SourceFileName(sourcePath) + "...";
}

void WizardBuildStatus::Progress(const BuildProgress& progress) {
    page_.percent = progress.percent;
    page_.progressCleared = false;
    // The bar is drawn again only when its figure changes: the cabinet step reports far
    // more often than the figure moves.
    if (display_.draw && (progress.stageEnd || progress.percent != drawn_))
        display_.draw(progress.percent);
    drawn_ = progress.percent;
    if (!progress.packing.empty() && progress.packing != packing_) {
        packing_ = progress.packing;
        page_.Label11 = PackingLine(packing_);
        if (display_.line)
            display_.line(page_.Label11);
    }
    if (!scriptOnly_ && progress.stageEnd && progress.percent > 0 && display_.pause)
        display_.pause();
}

void WizardBuildStatus::BuildFailed(const BuildFailure& failure) {
    if (!failure.text.empty())
        platform::ShowMessageBox(kTitle, failure.text, platform::MessageIcon::Stop);
    page_.percent = 0;
    page_.progressCleared = true;
    page_.ShowBuildFailed();
}

void WizardBuildStatus::Notice(const std::string& text) {
    platform::ShowMessageBox(kTitle, text, platform::MessageIcon::Exclamation);
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

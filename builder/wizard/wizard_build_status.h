// How the wizard shows a build: the bar of the last page (Riempi) with a pause of
// 200 ms after each step of a full build, the page's texts when the build has ended,
// and the message boxes titled "Velaset": the reason of a failure (stop icon; none when
// the cabinet library has shown its own) and "Il file ... è stato creato!" (exclamation).
#ifndef VELASET_BUILDER_WIZARD_WIZARD_BUILD_STATUS_H
#define VELASET_BUILDER_WIZARD_WIZARD_BUILD_STATUS_H

#include <functional>

#include "builder/package/build_status.h"
#include "builder/wizard/last_page.h"

namespace velaset {

// What the window does for the bar: draw a percentage, and pause.
struct ProgressDisplay {
    std::function<void(int percent)> draw;
    std::function<void()> pause; // 200 ms
};

class WizardBuildStatus : public BuildStatus {
  public:
    // scriptOnly: the run writes the script only; its bar fills at once, without pause.
    WizardBuildStatus(LastPage& page, const ProgressDisplay& display, bool scriptOnly);

    void StepStarted(BuildStep) override {}
    void Progress(const BuildProgress& progress) override;
    void BuildFailed(const BuildFailure& failure) override;
    void BuildDone(const std::string& path) override;

  private:
    LastPage& page_;
    const ProgressDisplay& display_;
    bool scriptOnly_;
};

} // namespace velaset

#endif

// How the wizard shows a build: the bar of the last page (Riempi) with a pause of
// 200 ms after each stage of a full build, the bar moving with the bytes compressed and
// a line that names the file being packed, the page's texts when the build has ended,
// and the message boxes titled "Velaset": the reason of a failure (stop icon; none when
// the cabinet library has shown its own) and "Il file ... è stato creato!" (exclamation).
#ifndef VELASET_BUILDER_WIZARD_WIZARD_BUILD_STATUS_H
#define VELASET_BUILDER_WIZARD_WIZARD_BUILD_STATUS_H

#include <functional>
#include <string>

#include "builder/package/build_status.h"
#include "builder/wizard/last_page.h"

namespace velaset {

// What the window does for the bar: draw a percentage, pause, and show the line under
// the bar ("Compressione di NOME...").
struct ProgressDisplay {
    std::function<void(int percent)> draw;
    std::function<void()> pause; // 200 ms
    std::function<void(const std::string& text)> line;
};

// The line that names the file being packed.
std::string PackingLine(const std::string& sourcePath);

class WizardBuildStatus : public BuildStatus {
  public:
    // scriptOnly: the run writes the script only; its bar fills at once, without pause.
    WizardBuildStatus(LastPage& page, const ProgressDisplay& display, bool scriptOnly);

    void StepStarted(BuildStep) override {}
    void Progress(const BuildProgress& progress) override;
    void BuildFailed(const BuildFailure& failure) override;
    void BuildDone(const std::string& path) override;
    // Shown in a box (exclamation, "Velaset") while the build goes on.
    void Notice(const std::string& text) override;

  private:
    LastPage& page_;
    const ProgressDisplay& display_;
    bool scriptOnly_;
    int drawn_ = -1;
    std::string packing_;
};

} // namespace velaset

#endif

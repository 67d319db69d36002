// What the last wizard page shows about a build: the percentage of the bar and the
// texts of its labels. Plain state: the wizard copies it into its controls, the
// command line prints the percentage.
#ifndef VELASET_BUILDER_BUILD_BUILD_PAGE_H
#define VELASET_BUILDER_BUILD_BUILD_PAGE_H

#include <functional>
#include <string>

namespace velaset {

struct BuildPage {
    int percent = 0;            // the bar of pnlProgress, 0 to 100
    bool progressCleared = false; // after a failure: blank box in the button-face colour
    std::string Label22;        // heading: "Creazione terminata", "Creazione fallita", ...
    std::string Label30;        // what was made
    std::string Label32;        // what to do next
    std::string Label33;        // "Velaset - Creatore di pacchetti di installazione"
    std::string Label11;        // hint about "&Fine"
    bool showNomeEseguibile = true; // lblNomeEseguibile
    bool showNomeProgetto = true;   // lblNomeProgetto

    // Called after every change of percent, with the new value. The wizard repaints
    // the bar and pauses 200 ms here; the command line draws its own progress.
    std::function<void(int)> onProgress;

    void SetProgress(int value);
    void ClearProgress();

    // The texts after a script-only run, a finished build and a failed build.
    void ShowScriptOnlyDone();
    void ShowBuildDone();
    void ShowBuildFailed();
};

} // namespace velaset

#endif

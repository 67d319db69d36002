// What the last wizard page shows about a build: the percentage of its bar and the
// texts of its labels. Plain state that the window copies into its controls.
#ifndef VELASET_BUILDER_WIZARD_LAST_PAGE_H
#define VELASET_BUILDER_WIZARD_LAST_PAGE_H

#include <string>

namespace velaset {

struct LastPage {
    int percent = 0;                // the bar of pnlProgress, 0 to 100
    bool progressCleared = false;   // after a failure: blank box in the button-face colour
    std::string Label22;            // heading: "Creazione terminata", "Creazione fallita", ...
    std::string Label30;            // what was made
    std::string Label32;            // what to do next
    std::string Label33;            // "Velaset - Creatore di pacchetti di installazione"
    std::string Label11;            // hint about "&Fine"
    bool showNomeEseguibile = true; // lblNomeEseguibile
    bool showNomeProgetto = true;   // lblNomeProgetto

    // The texts after a script-only run, a finished build and a failed build.
    void ShowScriptOnlyDone();
    void ShowBuildDone();
    void ShowBuildFailed();
};

// The last page as it is before a build: its texts, both path displays shown.
LastPage LastPageBeforeBuild();

} // namespace velaset

#endif

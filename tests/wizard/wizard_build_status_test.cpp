// How the wizard shows a build: bar, pauses, message boxes and the last page's texts.
#include "builder/wizard/wizard_build_status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/source_path.h"

namespace velaset {
namespace {

struct Shown {
    std::vector<std::string> events; // "draw N" and "pause", in order
    ProgressDisplay display;
    LastPage page = LastPageBeforeBuild();
    platform::MessageBoxRecorder boxes;

    Shown() {
        display.draw = [this](int percent) { events.push_back("draw " + std::to_string(percent)); };
        display.pause = [this] { events.push_back("pause"); };
        display.line = [this](const std::string& text) { events.push_back("line " + text); };
    }
};

BuildProgress At(int percent) {
    BuildProgress progress;
    progress.percent = percent;
    return progress;
}

TEST(WizardBuildStatus, FullBuildPausesAfterEveryStepAboveZeroThenSaysSo) {
    Shown shown;
    WizardBuildStatus status(shown.page, shown.display, false);
    for (int percent : {0, 10, 30})
        status.Progress(At(percent));
    EXPECT_EQ(shown.events,
              (std::vector<std::string>{"draw 0", "draw 10", "pause", "draw 30", "pause"}));
    EXPECT_EQ(shown.page.percent, 30);
    EXPECT_TRUE(shown.boxes.Calls().empty());

    status.Progress(At(100));
    status.BuildDone(platform::JoinSourcePath("Out", "Setup.exe"));
    ASSERT_EQ(shown.boxes.Calls().size(), 1u);
    EXPECT_EQ(shown.boxes.Calls()[0].title, "Velaset");
    EXPECT_EQ(shown.boxes.Calls()[0].text, "Il file SETUP.EXE è stato creato!");
    EXPECT_EQ(shown.boxes.Calls()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(shown.page.Label22, "Creazione terminata");
    EXPECT_FALSE(shown.page.showNomeEseguibile);
    EXPECT_EQ(shown.page.Label11, "Clicca su fine per creare un nuovo progetto.");
}

// While the cabinet is made the bar moves without pauses, is drawn only when its figure
// changes, and the line under it names each file once.
TEST(WizardBuildStatus, CompressionMovesTheBarAndNamesTheFileWithoutPausing) {
    Shown shown;
    WizardBuildStatus status(shown.page, shown.display, false);
    const std::string big = platform::JoinSourcePath("dist", "Grande.bin");
    const std::string small = platform::JoinSourcePath("dist", "Piccolo.txt");
    for (const auto& [percent, file] :
         std::vector<std::pair<int, std::string>>{{31, big}, {31, big}, {38, big}, {38, small}}) {
        BuildProgress move = At(percent);
        move.stageEnd = false;
        move.packing = file;
        status.Progress(move);
    }
    status.Progress(At(50));
    EXPECT_EQ(shown.events,
              (std::vector<std::string>{"draw 31", "line Compressione di Grande.bin...", "draw 38",
                                        "line Compressione di Piccolo.txt...", "draw 50",
                                        "pause"}));
    EXPECT_EQ(shown.page.Label11, "Compressione di Piccolo.txt...");
}

TEST(WizardBuildStatus, ScriptOnlyRunFillsTheBarWithoutPauseOrBox) {
    Shown shown;
    WizardBuildStatus status(shown.page, shown.display, true);
    status.Progress(At(100));
    status.BuildDone("/tmp/setup.inf");
    EXPECT_EQ(shown.events, (std::vector<std::string>{"draw 100"}));
    EXPECT_TRUE(shown.boxes.Calls().empty());
    EXPECT_EQ(shown.page.Label22, "Creazione INF terminata");
    EXPECT_EQ(shown.page.Label30, "Il file inf per l'installazione è stato creato con successo.");
}

TEST(WizardBuildStatus, FailureShowsItsTextUnlessTheLibraryHasToldTheUser) {
    for (const std::string text :
         {std::string("Impossibile creare C:\\Setup.exe, x"), std::string()}) {
        SCOPED_TRACE(text);
        Shown shown;
        WizardBuildStatus status(shown.page, shown.display, false);
        status.Progress(At(30));
        BuildFailure failure;
        failure.kind = text.empty() ? FailureKind::CabinetFailed : FailureKind::UnwritableOutput;
        failure.text = text;
        status.BuildFailed(failure);
        if (text.empty()) {
            EXPECT_TRUE(shown.boxes.Calls().empty());
        } else {
            ASSERT_EQ(shown.boxes.Calls().size(), 1u);
            EXPECT_EQ(shown.boxes.Calls()[0].text, text);
            EXPECT_EQ(shown.boxes.Calls()[0].icon, platform::MessageIcon::Stop);
        }
        EXPECT_TRUE(shown.page.progressCleared);
        EXPECT_EQ(shown.page.percent, 0);
        EXPECT_EQ(shown.page.Label22, "Creazione fallita");
        EXPECT_EQ(shown.page.Label32,
                  "Ricarica il file di progetto e verifica i parametri immessi.");
    }
}

} // namespace
} // namespace velaset

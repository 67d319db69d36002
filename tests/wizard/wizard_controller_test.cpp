// The wizard's page controller: page sequence, page checks and their messages, the
// silent corrections, the build trigger's page states and the question before leaving.
#include "builder/wizard/wizard_controller.h"

#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using platform::MessageAnswer;
using platform::MessageBoxRecorder;
using platform::MessageButtons;
using platform::MessageIcon;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The text of the one box shown, its icon and buttons checked.
std::string OneBox(const MessageBoxRecorder& boxes, MessageIcon icon,
                   MessageButtons buttons = MessageButtons::Ok) {
    EXPECT_EQ(boxes.Calls().size(), 1u);
    if (boxes.Calls().size() != 1)
        return "";
    EXPECT_EQ(boxes.Calls()[0].title, "Velaset");
    EXPECT_EQ(boxes.Calls()[0].icon, icon);
    EXPECT_EQ(boxes.Calls()[0].buttons, buttons);
    return boxes.Calls()[0].text;
}

// A wizard with a new project, standing on page 1 after "&Avanti >" from page 0.
struct Wizard {
    Project project;
    WizardController wizard{project, "C:\\Tools"};

    Wizard() { wizard.GoToPage(0); }

    void WalkTo(int page) {
        while (wizard.CurrentPage() < page) {
            ASSERT_EQ(wizard.Next(), WizardController::NextResult::Moved)
                << "refused on page " << wizard.CurrentPage();
            if (wizard.CurrentPage() == 2 && project.Files().empty()) {
                EXPECT_TRUE(project.AddFile({platform::JoinSourcePath("Src", "app.exe"), "D"}));
            }
            if (wizard.CurrentPage() == 3 && project.Links().empty()) {
                EXPECT_TRUE(project.AddLink({"app.exe", "App", "P"}));
            }
        }
    }
};

TEST(WizardPages, ButtonsAndHeadingsFollowThePageAndTheLastAsksForTheBuild) {
    Wizard w;
    EXPECT_FALSE(w.wizard.BackEnabled());
    EXPECT_TRUE(w.wizard.NextEnabled());
    EXPECT_FALSE(w.wizard.FinishEnabled());
    EXPECT_FALSE(w.wizard.HeaderVisible());
    w.WalkTo(1);
    EXPECT_TRUE(w.wizard.BackEnabled());
    EXPECT_TRUE(w.wizard.HeaderVisible());
    EXPECT_EQ(w.wizard.Heading(), "Titolo e schermata di avvio");
    EXPECT_EQ(w.wizard.SubHeading(),
              "Dati visualizzati nella schermata di avvio del setup e titolo del progetto.");
    w.WalkTo(6);
    EXPECT_EQ(w.wizard.SubHeading(),
              "Impostazione nome dell'eseguibile da creare e salvataggio file di progetto.");
    w.WalkTo(7);
    EXPECT_TRUE(w.wizard.NextEnabled()); // the build
    EXPECT_FALSE(w.wizard.FinishEnabled());
    EXPECT_FALSE(w.wizard.HeaderVisible());
    EXPECT_EQ(w.wizard.Heading(), "");
    EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Build);
    EXPECT_EQ(w.wizard.CurrentPage(), 7);
}

// A saved project with two files and a link to the first, whose first file is then gone.
struct ProjectWithAGoneFile {
    velaset_test::ScratchFolder folder;
    std::string gone = folder.WriteFile("Mio.exe", "MZ");
    std::string kept = folder.WriteFile("Note.txt", "n");
    std::string path = folder.Path("Mio.mip");

    ProjectWithAGoneFile() {
        Project saved;
        saved.ResetToNewProject(folder.Path(), "C:\\Programmi\\");
        saved.ProgFile = path;
        EXPECT_TRUE(saved.AddFile({gone, "D"}));
        EXPECT_TRUE(saved.AddFile({kept, "D"}));
        EXPECT_TRUE(saved.AddLink({"Mio.exe", "Mio", "P"}));
        EXPECT_TRUE(SaveProject(saved).ok);
        std::remove(gone.c_str());
    }
};

// Before anything can save over the file, one box tells what the load left out and asks
// whether to open the project without it; No, the default, changes nothing.
TEST(WizardOpen, AProjectThatLostEntriesIsOpenedOnlyWhenTheUserSaysSo) {
    ProjectWithAGoneFile f;
    const std::string before = velaset_test::ScratchFolder::ReadFile(f.path);
    {
        Wizard w;
        w.project.Titolo = "Precedente";
        MessageBoxRecorder no(MessageAnswer::No);
        EXPECT_FALSE(w.wizard.OpenProject(f.path).ok);
        EXPECT_THAT(OneBox(no, MessageIcon::Question, MessageButtons::YesNo),
                    HasSubstr("- " + f.gone +
                              ": il file non esiste\r\n- collegamento \"Mio\": "
                              "il file Mio.exe non è nell'elenco dei file"));
        EXPECT_EQ(w.project.Titolo, "Precedente");
        EXPECT_EQ(w.wizard.LoadedProject(), "");
        // Page 0 still wants a project.
        w.wizard.SetChoice(ProjectChoice::Existing);
        EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Refused);
    }
    {
        Wizard w;
        MessageBoxRecorder yes(MessageAnswer::Yes);
        EXPECT_TRUE(w.wizard.OpenProject(f.path).ok);
        ASSERT_EQ(w.project.Files().size(), 1u);
        EXPECT_EQ(w.project.Files()[0].path, f.kept);
        EXPECT_EQ(w.wizard.LoadedProject(), f.path);
    }
    EXPECT_EQ(velaset_test::ScratchFolder::ReadFile(f.path), before) << "opening writes nothing";
}

// A project file with a registry entry out of the dialog's form is refused as a whole;
// the project in the wizard stays the one it was, saved where it was.
TEST(WizardOpen, ARefusedProjectLeavesTheOpenProjectAndItsFile) {
    velaset_test::ScratchFolder folder;
    const std::string hostile = folder.WriteFile(
        "Ostile.mip", velaset_test::Crlf("[Progetto]\nGruppo=1\nDlgEnd=0\n[Chiavi]\nNumChiavi=1\n"
                                         "1=HKLM,Software\\Mio,\"a\",,\"1\",HKCU,Run\n"));
    const std::string before = velaset_test::ScratchFolder::ReadFile(hostile);
    Wizard w;
    w.project.Titolo = "Precedente";
    w.project.ProgFile = folder.Path("Precedente.mip");
    MessageBoxRecorder boxes;
    EXPECT_FALSE(w.wizard.OpenProject(hostile).ok);
    EXPECT_THAT(OneBox(boxes, MessageIcon::Stop), HasSubstr("La voce 1 di [Chiavi]"));
    EXPECT_EQ(w.project.Titolo, "Precedente");
    EXPECT_EQ(w.project.ProgFile, folder.Path("Precedente.mip"));
    EXPECT_EQ(w.wizard.LoadedProject(), "");
    EXPECT_EQ(velaset_test::ScratchFolder::ReadFile(hostile), before);
}

TEST(WizardOpen, AProjectFoundInItsNewFolderIsOpenedWithAWord) {
    ProjectWithAGoneFile f;
    // The project saved elsewhere: its files are at their places below its folder.
    const std::string moved = f.folder.MakeFolder("nuova");
    const std::string copy = platform::JoinSourcePath(moved, "Mio.mip");
    const std::string note = platform::JoinSourcePath(moved, "Note.txt");
    velaset_test::ScratchFolder::WriteBytes(copy, velaset_test::ScratchFolder::ReadFile(f.path));
    velaset_test::ScratchFolder::WriteBytes(note, "n");
    velaset_test::ScratchFolder::WriteBytes(platform::JoinSourcePath(moved, "Mio.exe"), "MZ");
    std::remove(f.kept.c_str());
    Wizard w;
    MessageBoxRecorder boxes;
    EXPECT_TRUE(w.wizard.OpenProject(copy).ok);
    EXPECT_THAT(OneBox(boxes, MessageIcon::Exclamation),
                HasSubstr(f.kept + ": trovato in " + note));
    ASSERT_EQ(w.project.Files().size(), 2u);
    EXPECT_EQ(w.project.Files()[1].path, note);
    EXPECT_EQ(w.project.Links().size(), 1u);
}

TEST(WizardPages, NewProjectIsResetOnEveryForwardArrivalAtTheTitlePage) {
    Wizard w;
    w.WalkTo(1);
    EXPECT_EQ(w.project.Titolo, "Nuovo Progetto");
    EXPECT_EQ(w.project.ExeFile, platform::JoinSourcePath("C:\\Tools", "Nuovo Progetto.exe"));
    w.project.Caption = "Mia";
    w.WalkTo(2);
    w.wizard.Back(); // back on page 1: entries kept
    EXPECT_EQ(w.project.Caption, "Mia");
    w.wizard.Back();
    ASSERT_EQ(w.wizard.CurrentPage(), 0);
    w.wizard.Next(); // forward again: a new project once more
    EXPECT_EQ(w.project.Caption, "Nuovo Progetto");
    EXPECT_TRUE(w.project.Files().empty());
}

TEST(WizardPages, ExistingProjectWantsItsFile) {
    Wizard w;
    w.wizard.SetChoice(ProjectChoice::Existing);
    MessageBoxRecorder boxes;
    // lblCarica is empty: page 0 refuses.
    EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Refused);
    EXPECT_EQ(OneBox(boxes, MessageIcon::Exclamation),
              "Devi selezionare un file di installazione.");
    EXPECT_EQ(w.wizard.CurrentPage(), 0);
}

TEST(WizardPages, DistributionOnlySkipsTheLinksPageBothWaysAndDisablesTheUninstallIcon) {
    Wizard w;
    w.WalkTo(2);
    w.project.SetUninstall(1);
    EXPECT_TRUE(w.wizard.UninstallCheckEnabled());
    EXPECT_TRUE(w.wizard.UninstallStringEnabled());
    w.project.SetDistribuzione(1);
    EXPECT_FALSE(w.wizard.UninstallCheckEnabled());
    EXPECT_FALSE(w.wizard.UninstallStringEnabled());
    EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Moved);
    EXPECT_EQ(w.wizard.CurrentPage(), 4);
    w.wizard.Back();
    EXPECT_EQ(w.wizard.CurrentPage(), 2);
}

TEST(WizardPages, LaunchChoicesAreTheFilesOfTheInstallationFolderOnly) {
    Wizard w;
    w.WalkTo(2);
    const std::string src = "C:\\Src";
    w.project.ClearFiles();
    EXPECT_TRUE(w.project.AddFile({platform::JoinSourcePath(src, "app.exe"), "D"}));
    EXPECT_TRUE(w.project.AddFile({platform::JoinSourcePath(src, "lib.dll"), "D*"}));
    EXPECT_TRUE(w.project.AddFile({platform::JoinSourcePath(src, "sys.dll"), "S"}));
    EXPECT_TRUE(w.project.AddFile({platform::JoinSourcePath(src, "readme.txt"), "D"}));
    w.WalkTo(5);
    EXPECT_EQ(w.wizard.LaunchChoices(), (std::vector<std::string>{"app.exe", "readme.txt"}));
}

// One rule of a page: what the change does to it, the exact message when the page stays
// (nullptr: it moves on without a message), and what it corrected silently.
struct Rule {
    const char* name;
    int page;
    std::function<void(Project&)> change;
    const char* message;
    std::function<void(const Project&)> corrected = nullptr;
};

class WizardRules : public ::testing::TestWithParam<Rule> {};

TEST_P(WizardRules, PageStaysWithItsMessageOrMovesOnWithout) {
    const Rule& r = GetParam();
    Wizard w;
    w.WalkTo(r.page);
    r.change(w.project);
    MessageBoxRecorder boxes;
    if (r.message != nullptr) {
        EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Refused);
        EXPECT_EQ(w.wizard.CurrentPage(), r.page);
        EXPECT_EQ(OneBox(boxes, MessageIcon::Exclamation), r.message);
    } else {
        EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Moved);
        EXPECT_TRUE(boxes.Calls().empty());
    }
    if (r.corrected)
        r.corrected(w.project);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRule, WizardRules,
    ::testing::Values(
        Rule{"EmptyTitle", 1, [](Project& p) { p.Titolo.clear(); },
             "Devi inserire tutte le etichette."},
        Rule{"EmptyDescription", 1, [](Project& p) { p.Etic2A.clear(); },
             "Devi inserire tutte le etichette."},
        Rule{"EmptyFolderBeforeEmptyList", 2,
             [](Project& p) {
                 p.DefDir.clear();
                 p.ClearFiles();
             },
             "Devi inserire una directory per l'installazione."},
        Rule{"NoFiles", 2, [](Project& p) { p.ClearFiles(); },
             "Devi selezionare i files da installare."},
        Rule{"EmptyGroupName", 3, [](Project& p) { p.NomeGruppo.clear(); },
             "Devi immettere un nome per il gruppo da creare."},
        Rule{"GroupWithoutLinks", 3, [](Project& p) { p.ClearLinks(); },
             "Devi selezionare i file di cui creare il collegamento."},
        Rule{"EndDialogWithoutText", 4, [](Project& p) { p.EticB.clear(); },
             "Devi inserire tutti le voci."},
        Rule{"NoControlPanelLabel", 4, [](Project& p) { p.LabelControl.clear(); },
             "Devi inserire l'etichetta per la disinstallazione nel pannello di "
             "controllo."},
        Rule{"UninstallIconWithoutName", 4,
             [](Project& p) {
                 p.SetUninstall(1);
                 p.UninstallString.clear();
             },
             "Devi inserire l'etichetta per la disinstallazione nel gruppo del programma."},
        Rule{"NoExecutable", 6, [](Project& p) { p.ExeFile.clear(); },
             "Devi inserire entrame le voci."},
        Rule{"NoProjectFile", 6, [](Project& p) { p.ProgFile.clear(); },
             "Devi inserire entrame le voci."},
        Rule{"VersionOutOfItsForm", 6, [](Project& p) { p.Versione = "1.0 beta"; },
             "Il campo Versione può contenere solo da uno a quattro numeri separati da "
             "punti (per esempio 1.2 o 2.0.1.15)."},
        Rule{"ForOneUserWithAMachineEntry", 6,
             [](Project& p) {
                 p.Ambito = velaset::Scope::User;
                 ASSERT_TRUE(p.AddRegistryEntry("HKLM,Software\\A,\"B\",,\"C\""));
             },
             "Un pacchetto per l'utente (Ambito=utente) si installa senza amministratore: "
             "può copiare file solo nella cartella del programma (destinazione D, senza "
             "registrare librerie) e scrivere nel registro solo sotto HKCU. Non lo "
             "permettono: la voce 1 di [Chiavi] (HKLM,Software\\A,\"B\",,\"C\")."},
        Rule{"BlankTextCountsAsFilledIn", 1, [](Project& p) { p.Caption = "   "; }, nullptr},
        Rule{"WithoutGroupTheLinksPageAlwaysPasses", 3,
             [](Project& p) {
                 p.SetGruppo(0);
                 p.NomeGruppo.clear();
             },
             nullptr},
        Rule{"DisabledEndDialogNeedsNoTexts", 4,
             [](Project& p) {
                 p.SetDlgEnd(0);
                 p.CaptionB.clear();
             },
             nullptr},
        Rule{"UninstallIconWithoutGroupIsDropped", 4,
             [](Project& p) {
                 p.SetGruppo(0);
                 p.SetUninstall(1);
             },
             nullptr,
             [](const Project& p) {
                 EXPECT_EQ(p.Uninstall(), 0);
                 EXPECT_EQ(p.UninstallString, "");
             }},
        Rule{"LaunchWithoutFileIsDropped", 5,
             [](Project& p) {
                 p.SetChkLancio(1);
                 p.Lancio.clear();
             },
             nullptr, [](const Project& p) { EXPECT_EQ(p.ChkLancio(), 0); }},
        Rule{"ControlPanelLabelIsCheckedBeforeTheUninstallCorrection", 4,
             [](Project& p) {
                 p.SetGruppo(0);
                 p.SetUninstall(1);
                 p.LabelControl.clear();
             },
             "Devi inserire l'etichetta per la disinstallazione nel pannello di controllo.",
             [](const Project& p) { EXPECT_EQ(p.Uninstall(), 1); }}),
    [](const ::testing::TestParamInfo<Rule>& info) { return info.param.name; });

// A value of the page that no package could carry keeps the page, with the table's
// sentence; a fault of another page's field does not.
TEST(WizardChecks, AValueThatNoPackageCouldCarryKeepsItsPage) {
    Wizard w;
    w.WalkTo(1);
    w.project.Titolo = "   ";
    w.project.NomeGruppo = "Gruppo; secondo";
    MessageBoxRecorder boxes;
    EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Refused);
    EXPECT_THAT(OneBox(boxes, MessageIcon::Exclamation), StartsWith("Il campo Titolo (\"   \") "));
    w.project.Titolo = "Demo";
    EXPECT_EQ(w.wizard.Next(), WizardController::NextResult::Moved);
}

TEST(WizardExit, AsksBeforeLeaving) {
    Wizard w;
    {
        MessageBoxRecorder no(MessageAnswer::No);
        EXPECT_FALSE(w.wizard.ConfirmExit());
        EXPECT_EQ(OneBox(no, MessageIcon::Question, MessageButtons::YesNo),
                  "Vuoi uscire da Velaset?");
    }
    MessageBoxRecorder yes(MessageAnswer::Yes);
    EXPECT_TRUE(w.wizard.ConfirmExit());
}

// Build services that record what the trigger asked for and touch no file.
struct FakeBuild {
    bool scriptWritten = false;
    bool packed = false;
    BuildServices services;

    FakeBuild() {
        using platform::Status;
        services.writeScript = [this](const Project&, bool, const std::string&) {
            scriptWritten = true;
            return Status::Ok();
        };
        services.editScript = [](const std::string&) { return Status::Ok(); };
        services.saveProject = [](const Project&) { return Status::Ok(); };
        services.locateStub = [](Architecture, StubImage*) { return Status::Failed("no stub"); };
        services.locateRuntime = [](Architecture, std::string*) {
            return Status::Failed("no runtime");
        };
        services.bindComprimi = [this](ComprimiFunction* comprimi) {
            *comprimi = [this](auto&&...) {
                packed = true;
                return 1;
            };
            return Status::Ok();
        };
        services.tempFolder = platform::TempFolder();
    }
};

TEST(WizardBuild, ScriptOnlyRunRewritesTheLastPageAndEnablesOnlyFinishUntilANewProject) {
    Wizard w;
    w.WalkTo(7);
    EXPECT_EQ(w.wizard.LastPage().Label22, "Creazione pacchetto di installazione");
    EXPECT_TRUE(w.wizard.LastPage().showNomeEseguibile);
    w.wizard.SetChkInf(1);
    FakeBuild build;
    MessageBoxRecorder boxes;
    EXPECT_TRUE(w.wizard.RunBuild(build.services));
    EXPECT_TRUE(build.scriptWritten);
    EXPECT_FALSE(build.packed);
    EXPECT_EQ(w.wizard.LastPage().Label22, "Creazione INF terminata");
    EXPECT_FALSE(w.wizard.LastPage().showNomeEseguibile);
    EXPECT_FALSE(w.wizard.BackEnabled());
    EXPECT_FALSE(w.wizard.NextEnabled());
    EXPECT_TRUE(w.wizard.FinishEnabled());

    w.wizard.ResetToNewProject();
    EXPECT_EQ(w.wizard.LastPage().Label22, "Creazione pacchetto di installazione");
    EXPECT_EQ(w.wizard.LastPage().Label32, "Sarà creato il file:");
    EXPECT_EQ(w.wizard.LastPage().Label11, "Clicca avanti per creare il pacchetto.");
    EXPECT_TRUE(w.wizard.LastPage().showNomeProgetto);
}

// The new project's ExeFile lies in a folder that does not exist here: the build refuses
// it before the script is written or the project saved, as the command line does.
TEST(WizardBuild, FailedBuildSaysSoAndStillEnablesFinish) {
    Wizard w;
    w.WalkTo(7);
    FakeBuild build;
    MessageBoxRecorder boxes;
    EXPECT_FALSE(w.wizard.RunBuild(build.services));
    EXPECT_FALSE(build.scriptWritten);
    EXPECT_THAT(OneBox(boxes, MessageIcon::Stop), StartsWith("La cartella "));
    EXPECT_TRUE(w.wizard.LastPage().progressCleared);
    EXPECT_EQ(w.wizard.LastPage().Label22, "Creazione fallita");
    EXPECT_EQ(w.wizard.LastPage().Label11, "Clicca su fine per creare un nuovo progetto.");
    EXPECT_TRUE(w.wizard.FinishEnabled());
    EXPECT_FALSE(w.wizard.NextEnabled());
}

} // namespace
} // namespace velaset

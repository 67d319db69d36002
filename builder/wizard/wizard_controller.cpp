// The wizard's page controller: page sequence, headings, page checks, build trigger.
#include "builder/wizard/wizard_controller.h"

#include <cstring>
#include <utility>

#include "builder/project/failure_text.h"
#include "builder/project/package_keys.h"
#include "builder/project/project_fields.h"
#include "builder/project/project_file.h"
#include "platform/message_box.h"
#include "platform/source_path.h"

namespace velaset {

namespace {

const char* const kTitle = "Velaset";

struct PageHeading {
    const char* heading;
    const char* subHeading;
};

// Pages 1 to 6; pages 0 and 7 have no header.
const PageHeading kHeadings[kWizardPageCount] = {
    {"", ""},
    {"Titolo e schermata di avvio",
     "Dati visualizzati nella schermata di avvio del setup e titolo del progetto."},
    {"Files da installare",
     "Scelta della cartella predefinita di installazione e dei files da installare."},
    {"Collegamenti e gruppo",
     "Creazione dell'eventuale gruppo di programmi e relativi link agli stessi."},
    {"Fine installazione",
     "Dati visualizzati alla fine dell'installazione ed eventuale disinstallazione."},
    {"Voci di registro e file da lanciare",
     "Inserimento di voci nel registro di configurazione e file da avviare al termine."},
    {"Impostazioni eseguibile e progetto",
     "Impostazione nome dell'eseguibile da creare e salvataggio file di progetto."},
    {"", ""},
};

} // namespace

WizardController::WizardController(Project& project, std::string applicationFolder)
    : project_(project), applicationFolder_(std::move(applicationFolder)),
      lastPage_(LastPageBeforeBuild()) {}

std::string WizardController::Heading() const {
    return kHeadings[page_].heading;
}
std::string WizardController::SubHeading() const {
    return kHeadings[page_].subHeading;
}

void WizardController::GoToPage(int page) {
    page_ = page;
    ShowPage();
}

void WizardController::ShowPage() {
    backEnabled_ = page_ > 0;
    nextEnabled_ = page_ < kLastPage;
    finishEnabled_ = page_ == kLastPage;
    switch (page_) {
    case 1:
        if (choice_ == ProjectChoice::New && !goingBack_) {
            ResetToNewProject();
        }
        break;
    case 5:
        // The window keeps the typed text of txtLaunch; only the choices change.
        launchChoices_.clear();
        for (const FileEntry& file : project_.Files()) {
            if (file.destination == "D") {
                launchChoices_.push_back(platform::SourceFileName(file.path));
            }
        }
        break;
    case kLastPage:
        nextEnabled_ = true;
        finishEnabled_ = false;
        break;
    default:
        break;
    }
}

void WizardController::Move(int step) {
    page_ += step;
    if (page_ == kLinksPage && project_.Distribuzione() == 1) {
        page_ += step;
    }
    ShowPage();
}

WizardController::NextResult WizardController::Next() {
    if (page_ >= kLastPage) {
        return NextResult::Build;
    }
    if (!VerificaPagina(page_)) {
        return NextResult::Refused;
    }
    goingBack_ = false;
    Move(+1);
    return NextResult::Moved;
}

void WizardController::Back() {
    if (page_ <= 0) {
        return;
    }
    goingBack_ = true;
    Move(-1);
}

bool WizardController::Refuse(const char* message) const {
    platform::ShowMessageBox(kTitle, message, platform::MessageIcon::Exclamation);
    return false;
}

namespace {

// The fields that each page edits, as the table of fields names them (a list by its
// section): a fault of one of them keeps its page from being left.
bool EditedOnPage(int page, const std::string& field) {
    static const char* const kFields[kWizardPageCount][9] = {
        {},
        {"Titolo", "Caption", "Etic1A", "Etic2A", "TestoSfondo"},
        {"DefDir", "Files"},
        {"NomeGruppo", "Link"},
        {"CaptionB", "EticB", "LabelControl", "UninstallString", "Errore", "Stop", "Browse",
         "Disinstalla"},
        {"Chiavi", "Lancio"},
        {"Versione", "Editore", "SitoWeb"},
        {},
    };
    for (const char* name : kFields[page]) {
        const size_t size = name == nullptr ? 0 : std::strlen(name);
        if (size > 0 && field.compare(0, size, name) == 0 &&
            (field.size() == size || field[size] == ' '))
            return true;
    }
    return false;
}

} // namespace

bool WizardController::PageFieldsFit(int page) {
    for (const FieldFault& fault : ProjectFieldFaults(project_, project_.Distribuzione() == 0)) {
        if (EditedOnPage(page, fault.field)) {
            platform::ShowMessageBox(kTitle, fault.text, platform::MessageIcon::Exclamation);
            return false;
        }
    }
    return true;
}

bool WizardController::RefuseUnless(const platform::Status& status) const {
    return status.ok || Refuse(status.message.c_str());
}

bool WizardController::VerificaPagina(int page) {
    return VerificaPaginaRules(page) && PageFieldsFit(page);
}

bool WizardController::VerificaPaginaRules(int page) {
    const Project& p = project_;
    switch (page) {
    case 0:
        if (choice_ == ProjectChoice::Existing && loadedProject_.empty()) {
            return Refuse("Devi selezionare un file di installazione.");
        }
        return true;
    case 1:
        if (p.Titolo.empty() || p.Caption.empty() || p.Etic1A.empty() || p.Etic2A.empty()) {
            return Refuse("Devi inserire tutte le etichette.");
        }
        return true;
    case 2:
        if (p.DefDir.empty()) {
            return Refuse("Devi inserire una directory per l'installazione.");
        }
        if (p.Files().empty()) {
            return Refuse("Devi selezionare i files da installare.");
        }
        return true;
    case 3:
        if (p.Gruppo() == 1 && p.NomeGruppo.empty()) {
            return Refuse("Devi immettere un nome per il gruppo da creare.");
        }
        if (p.Gruppo() == 1 && p.Links().empty()) {
            return Refuse("Devi selezionare i file di cui creare il collegamento.");
        }
        return true;
    case 4:
        if (p.DlgEnd() == 1 && (p.CaptionB.empty() || p.EticB.empty())) {
            return Refuse("Devi inserire tutti le voci.");
        }
        if (p.LabelControl.empty()) {
            return Refuse("Devi inserire l'etichetta per la disinstallazione nel pannello di "
                          "controllo.");
        }
        // An uninstall icon needs the program group: dropped without a word.
        if (p.Gruppo() == 0 && p.Uninstall() == 1) {
            project_.SetUninstall(0);
        }
        if (p.Gruppo() == 1 && p.Uninstall() == 1 && p.UninstallString.empty()) {
            return Refuse("Devi inserire l'etichetta per la disinstallazione nel gruppo del "
                          "programma.");
        }
        return true;
    case 5:
        if (p.ChkLancio() == 1 && p.Lancio.empty()) {
            project_.SetChkLancio(0);
        }
        return true;
    case 6:
        if (p.ExeFile.empty() || p.ProgFile.empty()) {
            return Refuse("Devi inserire entrame le voci.");
        }
        return RefuseUnless(CheckPackageKeys(p)) && RefuseUnless(CheckScope(p));
    default:
        return true;
    }
}

platform::Status WizardController::OpenProject(const std::string& path) {
    const Project before = project_;
    const std::string loadedBefore = loadedProject_;
    project_.ProgFile = path;
    loadedProject_ = path;
    LoadReport report;
    platform::Status loaded = LoadProject(&project_, applicationFolder_, &report);
    if (!loaded) {
        // The refused file is not the project's file: a later save must not write there.
        project_.ProgFile = before.ProgFile;
        loadedProject_ = loadedBefore;
        platform::ShowMessageBox(kTitle, FailureText(loaded), platform::MessageIcon::Stop);
        return loaded;
    }
    if (report.Empty()) {
        return loaded;
    }
    // Told before anything can save over the file: the build saves the project, and a
    // save writes only what the load took.
    const std::string message = LoadReportMessage(path, report);
    if (!report.LostEntries()) {
        platform::ShowMessageBox(kTitle, message, platform::MessageIcon::Exclamation);
        return loaded;
    }
    if (platform::ShowMessageBox(kTitle, message, platform::MessageIcon::Question,
                                 platform::MessageButtons::YesNo) ==
        platform::MessageAnswer::Yes) {
        return loaded;
    }
    // Not opened: everything stays as it was before the choice.
    project_ = before;
    loadedProject_ = loadedBefore;
    return platform::Status::Failed("", platform::ErrorKind::Refused);
}

bool WizardController::UninstallCheckEnabled() const {
    return project_.Distribuzione() == 0;
}

bool WizardController::UninstallStringEnabled() const {
    return project_.Distribuzione() == 0 && project_.Uninstall() == 1;
}

void WizardController::RestoreLastPage() {
    lastPage_ = LastPageBeforeBuild();
}

bool WizardController::RunBuild(const BuildServices& services) {
    backEnabled_ = false;
    nextEnabled_ = false;
    finishEnabled_ = false;
    BuildOptions options;
    options.scriptOnly = chkInf_ == 1;
    options.editScript = chkMod_ == 1;
    WizardBuildStatus status(lastPage_, progressDisplay_, options.scriptOnly);
    bool ok = velaset::RunBuild(project_, options, services, status);
    finishEnabled_ = true;
    return ok;
}

void WizardController::ResetToNewProject() {
    project_.ResetToNewProject(applicationFolder_, DefCartellaFromSystem());
    RestoreLastPage();
}

void WizardController::LoadOrReset(const std::string& commandLine) {
    if (!commandLine.empty()) {
        choice_ = ProjectChoice::Existing;
        platform::IgnoreFailure(OpenProject(commandLine)); // it has told the user why
    } else {
        ResetToNewProject();
    }
}

void WizardController::AfterFinish() {
    choice_ = ProjectChoice::New;
    loadedProject_.clear();
}

bool WizardController::ConfirmExit() const {
    return platform::ShowMessageBox(
               kTitle, "Vuoi uscire da Velaset?", platform::MessageIcon::Question,
               platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
}

} // namespace velaset

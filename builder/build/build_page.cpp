#include "builder/build/build_page.h"

namespace velaset {

namespace {
const char kProductLine[] = "Velaset - Creatore di pacchetti di installazione";
const char kNextProject[] = "Potete iniziare un nuovo progetto o uscire dall'applicazione.";
} // namespace

void BuildPage::SetProgress(int value) {
    percent = value;
    progressCleared = false;
    if (onProgress)
        onProgress(value);
}

void BuildPage::ClearProgress() {
    percent = 0;
    progressCleared = true;
}

void BuildPage::ShowScriptOnlyDone() {
    Label22 = "Creazione INF terminata";
    Label30 = "Il file inf per l'installazione è stato creato con successo.";
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label32 = kNextProject;
    Label33 = kProductLine;
}

void BuildPage::ShowBuildDone() {
    Label22 = "Creazione terminata";
    Label30 = "L'eseguibile autoestraente contenente il pacchetto di installazione è "
              "stato creato con successo.";
    Label32 = kNextProject;
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label33 = kProductLine;
    Label11 = "Clicca su fine per creare un nuovo progetto.";
}

void BuildPage::ShowBuildFailed() {
    Label22 = "Creazione fallita";
    Label30 = "L'eseguibile autoestraente contenente il pacchetto di installazione NON è "
              "stato creato.";
    Label32 = "Ricarica il file di progetto e verifica i parametri immessi.";
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label33 = kProductLine;
    Label11 = "Clicca su fine per creare un nuovo progetto.";
}

} // namespace velaset

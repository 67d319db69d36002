#include "builder/wizard/last_page.h"

namespace velaset {

namespace {
const char kProductLine[] = "Velaset - Creatore di pacchetti di installazione";
const char kNextProject[] = "Potete iniziare un nuovo progetto o uscire dall'applicazione.";
} // namespace

void LastPage::ShowScriptOnlyDone() {
    Label22 = "Creazione INF terminata";
    Label30 = "Il file inf per l'installazione è stato creato con successo.";
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label32 = kNextProject;
    Label33 = kProductLine;
}

void LastPage::ShowBuildDone() {
    Label22 = "Creazione terminata";
    Label30 = "L'eseguibile autoestraente contenente il pacchetto di installazione è "
              "stato creato con successo.";
    Label32 = kNextProject;
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label33 = kProductLine;
    Label11 = "Clicca su fine per creare un nuovo progetto.";
}

void LastPage::ShowBuildFailed() {
    Label22 = "Creazione fallita";
    Label30 = "L'eseguibile autoestraente contenente il pacchetto di installazione NON è "
              "stato creato.";
    Label32 = "Ricarica il file di progetto e verifica i parametri immessi.";
    showNomeEseguibile = false;
    showNomeProgetto = false;
    Label33 = kProductLine;
    Label11 = "Clicca su fine per creare un nuovo progetto.";
}

LastPage LastPageBeforeBuild() {
    LastPage page;
    page.Label22 = "Creazione pacchetto di installazione";
    page.Label30 = "Questa procedura realizzerà il pacchetto di installazione creando un file "
                   "eseguibile autoestraente.";
    page.Label32 = "Sarà creato il file:";
    page.Label33 = "Il vostro progetto sarà salvato nel file:";
    page.Label11 = "Clicca avanti per creare il pacchetto.";
    page.showNomeEseguibile = true;
    page.showNomeProgetto = true;
    return page;
}

} // namespace velaset

#include "tests/support/sample_project.h"

#include <cstdlib>

namespace velaset_test {

namespace {

// The sample is fixed: an entry that the project refuses is a broken test set-up.
void Require(const platform::Status& added) {
    if (!added)
        std::abort();
}

} // namespace

velaset::Project SampleProject(const ScratchFolder& folder) {
    velaset::Project p;
    p.Titolo = "Demo";
    p.Caption = "Installazione di Demo";
    p.Etic1A = "Benvenuti";
    p.Etic2A = "Questo programma installa Demo.";
    p.SetButtonBrowse(1);
    p.DefCartella = "C:\\Programmi\\";
    p.DefDir = "Demo";
    p.SetChkLancio(1);
    p.Lancio = "Demo.exe";
    p.SetDlgEnd(1);
    p.CaptionB = "Fine";
    p.EticB = "Installazione completata con successo.";
    p.SetSfondo(0);
    Require(p.AddFile({folder.WriteFile("Src/Demo.exe"), "D"}));
    Require(p.AddFile({folder.WriteFile("Src/Guida lunga.hlp"), "H"}));
    Require(p.AddFile({folder.WriteFile("Src/Comp.ocx"), "D*"}));
    p.SetGruppo(1);
    p.NomeGruppo = "Demo";
    Require(p.AddLink({"Demo.exe", "Demo", "P"}));
    Require(p.AddLink({"Demo.exe", "Demo", "D"}));
    p.SetUninstall(1);
    p.UninstallString = "Disinstalla Demo";
    p.LabelControl = "Demo 1.0";
    Require(p.AddRegistryEntry("HKLM,Software\\Demo,\"Versione\",,\"1.0\""));
    return p;
}

} // namespace velaset_test

#include "builder/package/launch_check.h"

#include <gtest/gtest.h>

#include "platform/source_path.h"

namespace velaset {
namespace {

Project WithFiles() {
    Project p;
    const std::string folder = platform::SourceSeparator() == '/' ? "/dist/" : "C:\\dist\\";
    EXPECT_TRUE(p.AddFile({folder + "Mio Programma.exe", "D"}));
    EXPECT_TRUE(p.AddFile({folder + "Estensione.dll", "D*"}));
    EXPECT_TRUE(p.AddFile({folder + "Guida.hlp", "H"}));
    return p;
}

// The installer opens it by its name alone: with parameters or quotes it would look for a
// file of that whole name.
TEST(LaunchCheck, AcceptsOnlyAFileThePackageInstallsIntoTheProgramsFolder) {
    Project p = WithFiles();
    EXPECT_EQ(LaunchRefusal(p), "") << "nothing to start";
    p.SetChkLancio(1);
    for (const char* lancio : {"Mio Programma.exe", "mio programma.EXE", "Estensione.dll"}) {
        p.Lancio = lancio;
        EXPECT_EQ(LaunchRefusal(p), "") << lancio;
    }
    for (const char* lancio :
         {"nonce.exe", "Guida.hlp", "Mio", "Mio Programma.exe2", "\"Mio Programma.exe",
          "\"Mio Programma.exe\"x", "", "Mio Programma.exe /primo", "\"Mio Programma.exe\""}) {
        p.Lancio = lancio;
        EXPECT_EQ(LaunchRefusal(p),
                  std::string("Il programma da avviare alla fine dell'installazione (Lancio), \"") +
                      lancio +
                      "\", non è tra i file che il pacchetto installa nella cartella del "
                      "programma: il pacchetto non è stato creato. Aggiungere il file al "
                      "progetto, oppure correggere Lancio (il nome del file soltanto: il "
                      "programma di installazione lo avvia senza parametri).")
            << lancio;
    }
}

} // namespace
} // namespace velaset

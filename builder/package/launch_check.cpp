#include "builder/package/launch_check.h"

#include "platform/source_path.h"

namespace velaset {

std::string LaunchRefusal(const Project& project) {
    if (project.ChkLancio() != 1)
        return "";
    for (const FileEntry& file : project.Files()) {
        if (file.destination.empty() || file.destination[0] != 'D')
            continue;
        if (LancioStarts(project.Lancio, platform::SourceFileName(file.path)))
            return "";
    }
    return "Il programma da avviare alla fine dell'installazione (Lancio), \"" + project.Lancio +
           "\", non è tra i file che il pacchetto installa nella cartella del programma: il "
           "pacchetto non è stato creato. Aggiungere il file al progetto, oppure correggere "
           "Lancio (il nome del file soltanto: il programma di installazione lo avvia senza "
           "parametri).";
}

} // namespace velaset

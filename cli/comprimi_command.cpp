// velaset comprimi CARTELLA BASE ELENCO [DIMENSIONE]: one call of Comprimi with these
// arguments.
#include "cli/comprimi_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/command_kit.h"
#include "compress/comprimi.h"

namespace {

const char kUsage[] = "velaset comprimi CARTELLA BASE ELENCO [DIMENSIONE]";

const char kHelp[] =
    "Chiama Comprimi, l'entrata della libreria dei file CAB, con questi argomenti: scrive\n"
    "CARTELLA + BASE + \".CAB\" (e BASE2.CAB, BASE3.CAB... quando i file non stanno in uno)\n"
    "con i file di ELENCO, separati da \"+\" (ogni \"+\" chiude una cartella del file CAB).\n"
    "CARTELLA finisce con il separatore delle cartelle; DIMENSIONE è la dimensione massima\n"
    "di un file CAB in byte (0 o assente: 134217727). I messaggi della libreria vanno sullo\n"
    "standard error, uno per riga. Codici di uscita: 0 creato, 1 Comprimi non è riuscito,\n"
    "2 uso errato.\n";

bool ParseSize(const char* text, uint32_t* size) {
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (text[0] == '\0' || text[0] == '-' || *end != '\0' || errno != 0 || value > 0xFFFFFFFFull) {
        return false;
    }
    *size = static_cast<uint32_t>(value);
    return true;
}

} // namespace

int RunComprimiCommand(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fprintf(velaset::cli::Out(), "uso: %s\n\n%s", kUsage, kHelp);
            return 0;
        }
    }
    uint32_t maxSize = 0;
    if (argc < 3 || argc > 4 || (argc == 4 && !ParseSize(argv[3], &maxSize))) {
        std::fprintf(velaset::cli::Err(), "velaset comprimi: argomenti non validi\nuso: %s\n",
                     kUsage);
        return 2;
    }
    return Comprimi(argv[0], argv[1], argv[2], maxSize) == 1 ? 0 : 1;
}

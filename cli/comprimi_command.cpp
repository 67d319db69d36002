// velaset comprimi [--lzx] CARTELLA BASE ELENCO [DIMENSIONE]: one call of Comprimi with
// these arguments, or with --lzx of ComprimiConMetodo with LZX (where "|" joins paths into
// one folder).
#include "cli/comprimi_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/command_kit.h"
#include "compress/comprimi.h"

namespace {

const char kUsage[] = "velaset comprimi [--lzx] CARTELLA BASE ELENCO [DIMENSIONE]";

const char kHelp[] =
    "Chiama Comprimi, l'entrata della libreria dei file CAB, con questi argomenti: scrive\n"
    "CARTELLA + BASE + \".CAB\" (e BASE2.CAB, BASE3.CAB... quando i file non stanno in uno)\n"
    "con i file di ELENCO, separati da \"+\" (ogni \"+\" chiude una cartella del file CAB).\n"
    "CARTELLA finisce con il separatore delle cartelle; DIMENSIONE è la dimensione massima\n"
    "di un file CAB in byte (0 o assente: 134217727). Con --lzx comprime con LZX\n"
    "(ComprimiConMetodo), e \"|\" unisce i percorsi in una sola cartella. I messaggi della\n"
    "libreria vanno sullo standard error, uno per riga. Codici di uscita: 0 creato, 1\n"
    "Comprimi non è riuscito, 2 uso errato.\n";

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
    bool lzx = argc > 0 && std::string(argv[0]) == "--lzx";
    if (lzx) {
        argc--;
        argv++;
    }
    if (argc < 3 || argc > 4 || (argc == 4 && !ParseSize(argv[3], &maxSize))) {
        std::fprintf(velaset::cli::Err(), "velaset comprimi: argomenti non validi\nuso: %s\n",
                     kUsage);
        return 2;
    }
    if (lzx) {
        return ComprimiConMetodo(argv[0], argv[1], argv[2], maxSize, COMPRIMI_LZX, nullptr,
                                 nullptr) == 1
                   ? 0
                   : 1;
    }
    return Comprimi(argv[0], argv[1], argv[2], maxSize) == 1 ? 0 : 1;
}

#include "cli/signing_options.h"

#include <cstdlib>
#include <cstring>

#include "platform/source_path.h"

namespace velaset {
namespace cli {

const char kSigningPasswordVariable[] = "VELASET_SIGN_PASSWORD";

const char kSigningUsage[] =
    "[--sign-cert CERT.pem --sign-key CHIAVE.pem | --sign-pkcs12 FILE.p12]\n"
    "         [--sign-timestamp URL] [--sign-description TESTO] [--sign-url URL] "
    "[--sign-runtime]";

const char kSigningHelp[] =
    "Firma (Authenticode, con il programma osslsigncode):\n"
    "  --sign-cert CERT.pem      il certificato (formato PEM), con --sign-key\n"
    "  --sign-key CHIAVE.pem     la sua chiave privata (formato PEM)\n"
    "  --sign-pkcs12 FILE.p12    certificato e chiave in un file PKCS#12, al posto dei due\n"
    "  --sign-timestamp URL      il server di marcatura temporale (RFC 3161)\n"
    "  --sign-description TESTO  la descrizione del programma firmato\n"
    "  --sign-url URL            la pagina web del programma firmato\n"
    "  --sign-runtime            firma anche avviora.dll prima di metterla nel pacchetto\n"
    "La password della chiave non va sulla riga di comando: si legge dalla variabile\n"
    "d'ambiente VELASET_SIGN_PASSWORD. Se la firma non riesce, o osslsigncode manca,\n"
    "la creazione fallisce e non resta nessun eseguibile.\n";

namespace {

struct ValueOption {
    const char* name;
    std::string SigningOptions::*field;
    bool path;         // a file of this machine: made absolute
    const char* value; // what it wants, for the message when it is missing
};

const ValueOption kValueOptions[] = {
    {"--sign-cert", &SigningOptions::certificateFile, true, "il file del certificato"},
    {"--sign-key", &SigningOptions::keyFile, true, "il file della chiave privata"},
    {"--sign-pkcs12", &SigningOptions::pkcs12File, true, "il file PKCS#12"},
    {"--sign-timestamp", &SigningOptions::timestampUrl, false,
     "l'indirizzo del server di marcatura temporale"},
    {"--sign-description", &SigningOptions::description, false, "la descrizione"},
    {"--sign-url", &SigningOptions::url, false, "l'indirizzo della pagina web"},
};

} // namespace

SigningArgument TakeSigningOption(int argc, char** argv, int* i, SigningOptions* options,
                                  std::string* problem) {
    const char* argument = argv[*i];
    if (std::strcmp(argument, "--sign-runtime") == 0) {
        options->signRuntime = true;
        return SigningArgument::Taken;
    }
    if (std::strncmp(argument, "--sign-pass", 11) == 0) {
        *problem = std::string("la password non si scrive sulla riga di comando: va nella "
                               "variabile d'ambiente ") +
                   kSigningPasswordVariable;
        return SigningArgument::Bad;
    }
    for (const ValueOption& option : kValueOptions) {
        if (std::strcmp(argument, option.name) != 0)
            continue;
        if (*i + 1 >= argc || argv[*i + 1][0] == '\0') {
            *problem = std::string(option.name) + " vuole " + option.value;
            return SigningArgument::Bad;
        }
        const char* value = argv[++*i];
        options->*option.field = option.path ? platform::AbsoluteSourcePath(value) : value;
        return SigningArgument::Taken;
    }
    return SigningArgument::NotSigning;
}

std::string SigningOptionsProblem(const SigningOptions& options, bool scriptOnly) {
    const bool pem = !options.certificateFile.empty() || !options.keyFile.empty();
    const bool extras = !options.timestampUrl.empty() || !options.description.empty() ||
                        !options.url.empty() || options.signRuntime;
    if (pem && !options.pkcs12File.empty())
        return "--sign-pkcs12 non va insieme a --sign-cert e --sign-key";
    if (pem && (options.certificateFile.empty() || options.keyFile.empty()))
        return "--sign-cert e --sign-key vanno dati insieme";
    if (!options.Wanted() && extras)
        return "--sign-timestamp, --sign-description, --sign-url e --sign-runtime vogliono il "
               "certificato: --sign-cert e --sign-key, o --sign-pkcs12";
    if (options.Wanted() && scriptOnly)
        return "--inf-only non crea nessun eseguibile da firmare";
    return "";
}

std::string SigningPasswordFromEnvironment() {
    const char* password = std::getenv(kSigningPasswordVariable);
    return password ? password : "";
}

} // namespace cli
} // namespace velaset

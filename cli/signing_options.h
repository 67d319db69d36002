// The signing options of "velaset build": the certificate and key (PEM files, or one
// PKCS#12 file), the time-stamping server, the description and URL shown by Windows,
// and whether the setup runtime is signed too. The password of the key never comes on
// the command line: it is read from the environment variable VELASET_SIGN_PASSWORD.
#ifndef VELASET_CLI_SIGNING_OPTIONS_H
#define VELASET_CLI_SIGNING_OPTIONS_H

#include <string>

#include "builder/package/code_signing.h"

namespace velaset {
namespace cli {

extern const char kSigningPasswordVariable[]; // "VELASET_SIGN_PASSWORD"
extern const char kSigningUsage[];            // the signing part of the usage line
extern const char kSigningHelp[];             // the signing part of the help

enum class SigningArgument {
    NotSigning, // argv[*i] is no signing option
    Taken,      // taken into the options (*i moved past its value)
    Bad,        // a signing option that cannot be taken: *problem says why
};

// Takes argv[*i], with its value, when it is a signing option. File paths become
// absolute, as -o does.
SigningArgument TakeSigningOption(int argc, char** argv, int* i, SigningOptions* options,
                                  std::string* problem);

// Why the signing options given cannot make a signature (they do not fit together, or
// the run makes nothing to sign); empty when they are fine or absent.
std::string SigningOptionsProblem(const SigningOptions& options, bool scriptOnly);

// The password from kSigningPasswordVariable (empty when it is not set).
std::string SigningPasswordFromEnvironment();

} // namespace cli
} // namespace velaset

#endif

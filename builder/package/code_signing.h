// Code signing: an Authenticode signature of the setup executable and, when asked, of
// the setup runtime before it is packed, made by the program osslsigncode. Signing a
// setup executable appends zero bytes up to a multiple of 8 and the certificate table
// behind the cabinet and records the table in the program's header (its security
// directory); the installer stub accepts exactly that behind its cabinet.
#ifndef VELASET_BUILDER_PACKAGE_CODE_SIGNING_H
#define VELASET_BUILDER_PACKAGE_CODE_SIGNING_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace velaset {

// What the one who starts a build chooses for its signature. The certificate and its
// key come either as two PEM files or as one PKCS#12 file.
struct SigningOptions {
    std::string certificateFile; // PEM: the certificate (and the chain behind it)
    std::string keyFile;         // PEM: its private key
    std::string pkcs12File;      // PKCS#12: certificate and key together
    std::string password;        // of the key or of the PKCS#12 file; empty when none.
                                 // It never goes on a command line.
    std::string timestampUrl;    // RFC 3161 time-stamping server; empty: no time stamp
    std::string description;     // what the signed program is (shown by Windows)
    std::string url;             // the web page of the signed program
    bool signRuntime = false;    // sign avviora.dll too, before it is packed

    bool Wanted() const { return !certificateFile.empty() || !pkcs12File.empty(); }
};

// The program that signs.
extern const char kSigningTool[]; // "osslsigncode"

// Starts a program with its arguments and waits (platform::RunProgram).
using ProgramRunner =
    std::function<platform::Status(const std::vector<std::string>& arguments, int* exitCode)>;

// The command that signs the program file in into out with SHA-256: tool (the path of
// osslsigncode), the certificate and key, the password read from passwordFile (or an
// empty password when passwordFile is empty, so that the tool never asks for one),
// description, URL, time-stamping server, and signingTime as the time of signing when
// given (SOURCE_DATE_EPOCH: the same files and key then give the same signature).
std::vector<std::string> SigningCommand(const std::string& tool, const SigningOptions& options,
                                        const std::string& passwordFile,
                                        std::optional<std::int64_t> signingTime,
                                        const std::string& in, const std::string& out);

// Runs the signing command through run. A failure is a whole sentence for the user:
// "Impossibile firmare OUT: osslsigncode è terminato con il codice N." (the tool has
// written its own reasons on the error stream), or why the tool could not start.
platform::Status SignFile(const ProgramRunner& run, const std::vector<std::string>& command,
                          const std::string& out);

// The files that signing reads must be there before anything is built: the certificate
// and key, or the PKCS#12 file. A failure concerns the missing file (Operation::Read).
platform::Status CheckSigningFiles(const SigningOptions& options);

} // namespace velaset

#endif

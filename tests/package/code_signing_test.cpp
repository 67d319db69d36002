#include "builder/package/code_signing.h"

#include <gtest/gtest.h>

namespace velaset {
namespace {

using Command = std::vector<std::string>;

TEST(SigningCommand, TakesEveryOptionAndNeverThePassword) {
    SigningOptions pem;
    pem.certificateFile = "/c/cert.pem";
    pem.keyFile = "/c/key.pem";
    pem.description = "Mio Programma";
    pem.url = "https://example.org/mio";
    pem.timestampUrl = "http://ts.example.org";
    EXPECT_EQ(SigningCommand("/usr/bin/osslsigncode", pem, "/tmp/vs1/password", 1262304000,
                             "/tmp/vs1/unsigned.exe", "/out/Setup.exe"),
              (Command{"/usr/bin/osslsigncode", "sign", "-certs", "/c/cert.pem", "-key",
                       "/c/key.pem", "-readpass", "/tmp/vs1/password", "-h", "sha256", "-n",
                       "Mio Programma", "-i", "https://example.org/mio", "-ts",
                       "http://ts.example.org", "-time", "1262304000", "-in",
                       "/tmp/vs1/unsigned.exe", "-out", "/out/Setup.exe"}));
    // Without a password file the tool is given an empty one, never the chance to ask.
    SigningOptions pkcs12;
    pkcs12.pkcs12File = "/c/firma.p12";
    pkcs12.password = "segreto"; // the pipeline passes it in a file, never here
    EXPECT_EQ(SigningCommand("osslsigncode", pkcs12, "", std::nullopt, "in.exe", "out.exe"),
              (Command{"osslsigncode", "sign", "-pkcs12", "/c/firma.p12", "-pass", "", "-h",
                       "sha256", "-in", "in.exe", "-out", "out.exe"}));
}

TEST(SigningCommand, FailuresAreSentencesForTheUser) {
    auto exits = [](int code) {
        return [code](const Command&, int* exitCode) {
            *exitCode = code;
            return platform::Status::Ok();
        };
    };
    EXPECT_TRUE(SignFile(exits(0), {"osslsigncode"}, "Setup.exe"));
    platform::Status failed = SignFile(exits(255), {"osslsigncode"}, "/out/Setup.exe");
    EXPECT_EQ(failed.message,
              "Impossibile firmare /out/Setup.exe: osslsigncode è terminato con il codice 255.");
    platform::Status unstartable = SignFile(
        [](const Command& command, int*) {
            return platform::Status::Failed("Permesso negato", platform::ErrorKind::AccessDenied,
                                            platform::Operation::Start, command[0]);
        },
        {"/usr/bin/osslsigncode"}, "Setup.exe");
    EXPECT_EQ(unstartable.message, "Impossibile avviare /usr/bin/osslsigncode, Permesso negato");
    EXPECT_EQ(unstartable.kind, platform::ErrorKind::AccessDenied);
}

} // namespace
} // namespace velaset

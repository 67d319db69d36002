#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_kit.h"
#include "tests/cli/command_run.h"

namespace velaset {
namespace cli {
namespace {

// Runs "velaset build ARGS..." in process; the error stream goes to *err.
int RunBuild(std::vector<std::string> args, std::string* err) {
    velaset_test::ScratchFolder streams;
    args.insert(args.begin(), "build");
    velaset_test::CommandRun run = velaset_test::RunVelaset(streams, std::move(args));
    *err = run.err;
    return run.code;
}

TEST(BuildCommand, RefusesBadUsageWithExitCode2) {
    // Each refusal shows the usage; that of the signing options for a signing fault.
    const char* usage = "uso: velaset build PROGETTO.mip";
    const char* signing = "[--sign-cert CERT.pem --sign-key CHIAVE.pem | --sign-pkcs12 FILE.p12]";
    struct Case {
        std::vector<std::string> args;
        const char* message;
        const char* usage;
    };
    const Case cases[] = {
        {{}, "manca il file di progetto", usage},
        {{"a.mip", "b.mip"}, "argomento in più: b.mip", usage},
        {{"a.mip", "-o"}, "-o vuole il percorso dell'eseguibile", usage},
        {{"a.mip", "--fast"}, "opzione sconosciuta: --fast", usage},
        {{"a.mip", "--arch"}, "--arch vuole x86 o x64", usage},
        {{"a.mip", "--arch", "amd64"}, "--arch vuole x86 o x64", usage},
        // Signing options that do not fit together.
        {{"a.mip", "--sign-cert", "c.pem"}, "--sign-cert e --sign-key vanno dati insieme", signing},
        {{"a.mip", "--sign-key", "k.pem"}, "--sign-cert e --sign-key vanno dati insieme", signing},
        {{"a.mip", "--sign-cert", "c.pem", "--sign-key", "k.pem", "--sign-pkcs12", "f.p12"},
         "--sign-pkcs12 non va insieme a --sign-cert e --sign-key",
         signing},
        {{"a.mip", "--sign-runtime"},
         "--sign-timestamp, --sign-description, --sign-url e --sign-runtime vogliono il "
         "certificato: --sign-cert e --sign-key, o --sign-pkcs12",
         signing},
        {{"a.mip", "--sign-timestamp", "http://ts"},
         "--sign-timestamp, --sign-description, --sign-url e --sign-runtime vogliono il "
         "certificato: --sign-cert e --sign-key, o --sign-pkcs12",
         signing},
        {{"a.mip", "--sign-pkcs12", "f.p12", "--inf-only"},
         "--inf-only non crea nessun eseguibile da firmare",
         signing},
        {{"a.mip", "--sign-pkcs12"}, "--sign-pkcs12 vuole il file PKCS#12", signing},
        {{"a.mip", "--sign-cert", ""}, "--sign-cert vuole il file del certificato", signing},
        {{"a.mip", "--sign-pkcs12", "f.p12", "--sign-password", "segreto"},
         "la password non si scrive sulla riga di comando: va nella variabile d'ambiente "
         "VELASET_SIGN_PASSWORD",
         signing},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(RunBuild(c.args, &err), kExitUsage);
        EXPECT_NE(err.find(std::string("velaset build: ") + c.message), std::string::npos) << err;
        EXPECT_NE(err.find(c.usage), std::string::npos) << err;
    }
}

TEST(BuildCommand, FailsWithExitCode1WhenTheProjectCannotBeRead) {
    velaset_test::ScratchFolder folder;
    std::string err;
    EXPECT_EQ(RunBuild({folder.Path("Manca.mip"), "--quiet"}, &err), kExitFailed);
    EXPECT_NE(err.find(folder.Path("Manca.mip")), std::string::npos) << err;
    EXPECT_FALSE(platform::PathExists(folder.Path("Manca.exe")));
}

TEST(BuildCommand, HelpNeedsNoProject) {
    std::string err;
    EXPECT_EQ(RunBuild({"--help"}, &err), kExitOk);
    EXPECT_TRUE(err.empty());
}

TEST(BuildCommand, HelpTellsWhereThePasswordComesFrom) {
    velaset_test::ScratchFolder streams;
    velaset_test::CommandRun run = velaset_test::RunVelaset(streams, {"build", "--help"});
    EXPECT_NE(run.out.find("--sign-pkcs12 FILE.p12"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("variabile\nd'ambiente VELASET_SIGN_PASSWORD"), std::string::npos)
        << run.out;
}

} // namespace
} // namespace cli
} // namespace velaset

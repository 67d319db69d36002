// The signature of a build: the signing program's command, and the pipeline's signing
// step against a stand-in for the program (the real one is run by sign_demo_test.sh).
#include "builder/package/build_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/constants.h"
#include "platform/file_replacement.h"
#include "platform/file_times.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"
#include "tests/package/fake_stub.h"
#include "tests/support/sample_project.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;
using Command = std::vector<std::string>;

TEST(SigningCommand, PemFilesWithPasswordFileAndEverythingElse) {
    SigningOptions options;
    options.certificateFile = "/c/cert.pem";
    options.keyFile = "/c/key.pem";
    options.description = "Mio Programma";
    options.url = "https://example.org/mio";
    options.timestampUrl = "http://ts.example.org";
    EXPECT_EQ(SigningCommand("/usr/bin/osslsigncode", options, "/tmp/vs1/password", 1262304000,
                             "/tmp/vs1/unsigned.exe", "/out/Setup.exe"),
              (Command{"/usr/bin/osslsigncode",
                       "sign",
                       "-certs",
                       "/c/cert.pem",
                       "-key",
                       "/c/key.pem",
                       "-readpass",
                       "/tmp/vs1/password",
                       "-h",
                       "sha256",
                       "-n",
                       "Mio Programma",
                       "-i",
                       "https://example.org/mio",
                       "-ts",
                       "http://ts.example.org",
                       "-time",
                       "1262304000",
                       "-in",
                       "/tmp/vs1/unsigned.exe",
                       "-out",
                       "/out/Setup.exe"}));
}

TEST(SigningCommand, Pkcs12WithoutPasswordNeverLetsTheToolAskForOne) {
    SigningOptions options;
    options.pkcs12File = "/c/firma.p12";
    options.password = "segreto"; // the pipeline passes it in a file, never here
    EXPECT_EQ(SigningCommand("osslsigncode", options, "", std::nullopt, "in.exe", "out.exe"),
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

// What the stand-in for the signing program saw of one run.
struct SigningRun {
    Command command;
    std::string password; // the content of the -readpass file while it ran
    std::string in, out;
};

std::string ValueAfter(const Command& command, const std::string& option) {
    auto found = std::find(command.begin(), command.end(), option);
    return found == command.end() || found + 1 == command.end() ? "" : *(found + 1);
}

// The runtime library's stand-in: the headers of a 32-bit library, then its content.
const std::string kRuntime = FakeLibrary(kMachineI386, "RUNTIME");

// A build of the sample project against stand-ins for the stub, the runtime, the script
// writer, the save, the cabinet library (the cabinet is the packed contents in a row)
// and the signing program, which "signs" by writing "SIGNED(" + content + ")".
class SigningStepTest : public ::testing::Test {
  public:
    void SetUp() override {
        project = velaset_test::SampleProject(folder);
        project.ExeFile = folder.Path("Setup.exe");
        project.ProgFile = folder.Path("Demo.mip");
        tempFolder = folder.Path("tmp");
        ASSERT_TRUE(platform::MakeDirectory(tempFolder).ok);
        stubPath = folder.Path("Avviora.exe");
        runtimePath = folder.Path("avviora.dll");
        ASSERT_TRUE(ScratchFolder::WriteBytes(stubPath, FakeStubImage(STUB_IMAGE_SIZE)));
        ASSERT_TRUE(ScratchFolder::WriteBytes(runtimePath, kRuntime));
        for (const FileEntry& file : project.Files())
            ASSERT_TRUE(ScratchFolder::WriteBytes(file.path, "F"));
        certificate = folder.Path("cert.pem");
        key = folder.Path("key.pem");
        ASSERT_TRUE(ScratchFolder::WriteBytes(certificate, "CERT"));
        ASSERT_TRUE(ScratchFolder::WriteBytes(key, "KEY"));
        options.signing.certificateFile = certificate;
        options.signing.keyFile = key;

        services.locateStub = [this](Architecture, StubImage* stub) {
            *stub = StubImage{stubPath, 0};
            return platform::Status::Ok();
        };
        services.locateRuntime = [this](Architecture, std::string* path) {
            *path = runtimePath;
            return platform::Status::Ok();
        };
        services.writeScript = [](const Project&, bool, const std::string& path) {
            ScratchFolder::WriteBytes(path, "SCRIPT");
            return platform::Status::Ok();
        };
        services.saveProject = [](const Project&) { return platform::Status::Ok(); };
        services.bindComprimi = [this](ComprimiFunction* bound) {
            *bound = [this](const std::string& dir, const std::string& base,
                            const std::string& list, std::uint32_t, std::uint32_t,
                            const CabinetProgress&) {
                std::string cabinet;
                std::size_t start = 0;
                for (std::size_t plus; start <= list.size(); start = plus + 1) {
                    plus = list.find('+', start);
                    cabinet +=
                        "[" + ScratchFolder::ReadFile(list.substr(start, plus - start)) + "]";
                    if (plus == std::string::npos)
                        break;
                }
                comprimiCalled = true;
                return ScratchFolder::WriteBytes(dir + base + ".CAB", cabinet) ? 1 : 0;
            };
            return platform::Status::Ok();
        };
        services.findProgram = [](const std::string& name) { return "/opt/bin/" + name; };
        services.runProgram = [this](const Command& command, int* exitCode) {
            SigningRun run{command, "", ValueAfter(command, "-in"), ValueAfter(command, "-out")};
            const std::string passwordFile = ValueAfter(command, "-readpass");
            if (!passwordFile.empty())
                run.password = ScratchFolder::ReadFile(passwordFile);
            runs.push_back(run);
            ScratchFolder::WriteBytes(run.out, "SIGNED(" + ScratchFolder::ReadFile(run.in) + ")");
            *exitCode =
                exitCodes.empty() ? 0 : exitCodes[std::min(runs.size(), exitCodes.size()) - 1];
            return platform::Status::Ok();
        };
        services.tempFolder = tempFolder;
    }

    bool Build() { return CreaPacchetto(project, options, services, status); }

    bool TempFolderIsEmpty() const {
        std::vector<std::string> names;
        return platform::ListFolder(tempFolder, &names).ok && names.empty();
    }

    struct Recorded : BuildStatus {
        void StepStarted(BuildStep step) override { steps.push_back(step); }
        void Progress(const BuildProgress&) override {}
        void BuildFailed(const BuildFailure& f) override { failures.push_back(f); }
        void BuildDone(const std::string& path) override { done.push_back(path); }
        void Notice(const std::string&) override {}
        std::vector<BuildStep> steps;
        std::vector<BuildFailure> failures;
        std::vector<std::string> done;
    };

    ScratchFolder folder;
    Project project;
    BuildOptions options;
    BuildServices services;
    Recorded status;
    std::string tempFolder, stubPath, runtimePath, certificate, key;
    std::vector<SigningRun> runs;
    std::vector<int> exitCodes; // of the signing runs in turn; the last one repeats
    bool comprimiCalled = false;
};

// A second, independent set-up inside one test, for table-driven cases.
struct FreshSigningStep : SigningStepTest {
    void TestBody() override {}
};

const std::string kCabinet = "[F][F][F][" + kRuntime + "][SCRIPT]";

TEST_F(SigningStepTest, SignsTheSetupExecutableAsTheLastStep) {
    ASSERT_TRUE(Build());
    EXPECT_EQ(status.steps,
              (std::vector<BuildStep>{BuildStep::Inputs, BuildStep::Script, BuildStep::Cabinet,
                                      BuildStep::Executable, BuildStep::Signature}));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].command[0], "/opt/bin/osslsigncode");
    EXPECT_EQ(ValueAfter(runs[0].command, "-certs"), certificate);
    EXPECT_EQ(ValueAfter(runs[0].command, "-key"), key);
    for (const std::string& file : {runs[0].in, runs[0].out})
        EXPECT_EQ(platform::SourceFolderPart(file).rfind(tempFolder, 0), 0u)
            << "signed in the private folder, then put in place: " << file;
    EXPECT_EQ(ScratchFolder::ReadFile(project.ExeFile),
              "SIGNED(" + FakeStubImage(STUB_IMAGE_SIZE) + kCabinet + ")");
    EXPECT_EQ(status.done, (std::vector<std::string>{project.ExeFile}));
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(SigningStepTest, ThePasswordReachesTheToolInAFileNeverOnItsCommandLine) {
    options.signing.password = "segreto di prova";
    options.signing.signRuntime = true;
    ASSERT_TRUE(Build());
    ASSERT_EQ(runs.size(), 2u);
    for (const SigningRun& run : runs) {
        EXPECT_EQ(run.password, "segreto di prova");
        for (const std::string& argument : run.command)
            EXPECT_EQ(argument.find("segreto"), std::string::npos) << argument;
        EXPECT_FALSE(platform::PathExists(ValueAfter(run.command, "-readpass")))
            << "the password file goes right after the signing";
    }
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(SigningStepTest, TheRuntimeIsSignedBeforePackingOnlyWhenAsked) {
    options.signing.signRuntime = true;
    ASSERT_TRUE(Build());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].in, runtimePath);
    EXPECT_EQ(platform::SourceFileName(runs[0].out), "avviora.dll");
    EXPECT_EQ(ScratchFolder::ReadFile(project.ExeFile),
              "SIGNED(" + FakeStubImage(STUB_IMAGE_SIZE) + "[F][F][F][SIGNED(" + kRuntime +
                  ")][SCRIPT])");
    EXPECT_EQ(ScratchFolder::ReadFile(runtimePath), kRuntime) << "the original stays as it is";

    // A distribution-only package has no runtime to sign.
    runs.clear();
    project.SetDistribuzione(1);
    ASSERT_TRUE(Build());
    EXPECT_EQ(runs.size(), 1u);
}

TEST_F(SigningStepTest, SourceDateEpochIsTheTimeOfSigning) {
    services.sourceDateEpoch = 1262304000;
    ASSERT_TRUE(Build());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(ValueAfter(runs[0].command, "-time"), "1262304000");
}

TEST_F(SigningStepTest, WithoutSignatureNothingIsSignedNorLookedFor) {
    options.signing = SigningOptions();
    services.findProgram = nullptr; // must not be reached
    ASSERT_TRUE(Build());
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(status.steps.back(), BuildStep::Executable);
    EXPECT_EQ(ScratchFolder::ReadFile(project.ExeFile), FakeStubImage(STUB_IMAGE_SIZE) + kCabinet);
}

// A signature that cannot be made fails the build in its step; the old setup executable
// stays as it was and nothing of the build stays.
TEST_F(SigningStepTest, ASignatureThatCannotBeMadeLeavesTheOldSetupExecutable) {
    struct Case {
        const char* what;
        std::function<void(SigningStepTest&)> arrange;
        BuildStep step;
        FailureKind kind;
        std::string text;
    };
    const Case cases[] = {
        {"signing program missing",
         [](SigningStepTest& t) { t.services.findProgram = [](const std::string&) { return ""; }; },
         BuildStep::Inputs, FailureKind::SigningFailed,
         "Impossibile firmare il pacchetto: il programma osslsigncode non è installato."},
        {"certificate missing",
         [](SigningStepTest& t) { t.options.signing.certificateFile = t.folder.Path("manca.pem"); },
         BuildStep::Inputs, FailureKind::MissingInput, "Impossibile leggere "},
        {"PKCS#12 file missing",
         [](SigningStepTest& t) {
             t.options.signing = SigningOptions();
             t.options.signing.pkcs12File = t.folder.Path("manca.p12");
         },
         BuildStep::Inputs, FailureKind::MissingInput, "Impossibile leggere "},
        {"signing fails", [](SigningStepTest& t) { t.exitCodes = {255}; }, BuildStep::Signature,
         FailureKind::SigningFailed, "Impossibile firmare "},
        {"runtime signing fails",
         [](SigningStepTest& t) {
             t.options.signing.signRuntime = true;
             t.exitCodes = {1};
         },
         BuildStep::Cabinet, FailureKind::SigningFailed, "Impossibile firmare "},
        {"signing program cannot start",
         [](SigningStepTest& t) {
             t.services.runProgram = [](const Command& command, int*) {
                 return platform::Status::Failed("", platform::ErrorKind::Abnormal,
                                                 platform::Operation::Start, command[0]);
             };
         },
         BuildStep::Signature, FailureKind::SigningFailed,
         "Il programma /opt/bin/osslsigncode è terminato in modo anomalo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreshSigningStep t;
        t.SetUp();
        ASSERT_TRUE(ScratchFolder::WriteBytes(t.project.ExeFile, "OLD"));
        c.arrange(t);
        EXPECT_FALSE(t.Build());
        EXPECT_EQ(ScratchFolder::ReadFile(t.project.ExeFile), "OLD");
        std::vector<std::string> names;
        ASSERT_TRUE(platform::ListFolder(t.folder.Path(), &names).ok);
        for (const std::string& name : names)
            EXPECT_FALSE(platform::IsWorkingFileName(name, "Setup.exe")) << name;
        EXPECT_TRUE(t.TempFolderIsEmpty());
        EXPECT_TRUE(t.status.done.empty());
        ASSERT_EQ(t.status.failures.size(), 1u);
        const BuildFailure& failure = t.status.failures[0];
        EXPECT_EQ(failure.step, c.step);
        EXPECT_EQ(t.status.steps.back(), c.step);
        EXPECT_EQ(failure.kind, c.kind);
        EXPECT_EQ(failure.text.rfind(c.text, 0), 0u) << failure.text;
        if (c.step == BuildStep::Inputs)
            EXPECT_FALSE(t.comprimiCalled) << "nothing is packed before the inputs are there";
    }
}

} // namespace
} // namespace velaset

#include "builder/package/build_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <optional>

#include "builder/package/cabinet_step.h"
#include "builder/package/code_signing.h"
#include "builder/package/comprimi_binding.h"
#include "builder/package/launch_check.h"
#include "builder/package/package_times.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "platform/file_times.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/short_name_rule.h"
#include "platform/short_path.h"
#include "platform/work_folder.h"
#include "tests/package/fake_stub.h"
#include "tests/support/no_short_names.h"
#include "tests/support/sample_project.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;
using Command = std::vector<std::string>;

bool Write(const std::string& path, const std::string& bytes) {
    return ScratchFolder::WriteBytes(path, bytes);
}
std::string Read(const std::string& path) {
    return ScratchFolder::ReadFile(path);
}

std::string ValueAfter(const Command& command, const std::string& option) {
    auto found = std::find(command.begin(), command.end(), option);
    return found == command.end() || found + 1 == command.end() ? "" : *(found + 1);
}

// Everything a build reported, the stage ends apart from the bar's moves.
struct RecordedStatus : BuildStatus {
    void StepStarted(BuildStep step) override { steps.push_back(step); }
    void Progress(const BuildProgress& p) override {
        if (p.stageEnd)
            progress.push_back(p.percent);
        else
            moves.push_back(p);
        if (p.bytesTotal > 0)
            bytes = p;
    }
    void BuildFailed(const BuildFailure& f) override { failures.push_back(f); }
    void BuildDone(const std::string& path) override {
        done.push_back(path);
        if (whenDone)
            whenDone();
    }
    void Notice(const std::string& text) override { notices.push_back(text); }

    std::vector<BuildStep> steps;
    std::vector<int> progress;
    std::vector<BuildProgress> moves;
    BuildProgress bytes;
    std::vector<BuildFailure> failures;
    std::vector<std::string> done;
    std::vector<std::string> notices;
    std::function<void()> whenDone; // called while the build still stands
};

// What the fake cabinet library saw of one entry.
struct Packed {
    std::string name; // stored name: the text behind the last separator
    std::string path;
    std::string content;
    std::int64_t time = 0;
};

// What the stand-in for the signing program saw of one run.
struct SigningRun {
    Command command;
    std::string password; // the content of the -readpass file while it ran
    std::string in, out;
};

auto FailingWith(const platform::Status& status) {
    return [status](auto&&...) { return status; };
}

ComprimiFunction Answering(int result) {
    return [result](const std::string&, const std::string&, const std::vector<CabinetEntry>&,
                    std::uint32_t, std::uint32_t, const CabinetProgress&) { return result; };
}

// A build against stand-ins for every service, inside one scratch folder. The fake
// cabinet is "name=content;" per packed file, so the package's tail shows what was packed;
// the signing program "signs" by writing "SIGNED(" + content + ")".
class PipelineTest : public ::testing::Test {
  public:
    void SetUp() override {
        stubPath = folder.WriteFile("Avviora.exe", FakeStubImage(STUB_IMAGE_SIZE));
        stub64Path =
            folder.WriteFile("Avviora64.exe", FakeStubImage(STUB64_IMAGE_SIZE, kMachineAmd64));
        runtimePath = folder.WriteFile("avviora.dll", runtimeBytes);
        runtime64Path = folder.WriteFile("x64/avviora.dll", runtime64Bytes);
        tempFolder = folder.MakeFolder("tmp");
        ASSERT_TRUE(platform::WriteFileTime(runtimePath, 1000000000).ok);
        // Each file with a content and a time of its own.
        project = velaset_test::SampleProject(folder);
        ASSERT_EQ(project.Files().size(), 3u);
        SetProjectFile(0, "PROGRAM", 1600000000);
        SetProjectFile(1, "TEXT", 1650000000);
        SetProjectFile(2, "LIB", 1550000000);
        project.ExeFile = folder.Path("Setup.exe");
        project.ProgFile = folder.Path("Demo.mip");

        services.locateStub = [this](Architecture architecture, StubImage* stub) {
            stubArchitectures.push_back(architecture);
            *stub = StubImage{architecture == Architecture::X64 ? stub64Path : stubPath, 0};
            return platform::Status::Ok();
        };
        services.locateRuntime = [this](Architecture architecture, std::string* path) {
            *path = architecture == Architecture::X64 ? runtime64Path : runtimePath;
            return platform::Status::Ok();
        };
        services.writeScript = [this](const Project&, bool distributionOnly,
                                      const std::string& path) {
            calls.push_back(distributionOnly ? "script:dist" : "script:full");
            return Write(path, distributionOnly ? "DIST" : "FULL")
                       ? platform::Status::Ok()
                       : platform::Status::Failed("cannot write " + path);
        };
        services.editScript = [this](const std::string& path) {
            calls.push_back("edit");
            Write(path, Read(path) + "+EDITED");
            return platform::Status::Ok();
        };
        services.saveProject = [this](const Project& saved) {
            calls.push_back("save");
            savedArchitecture = saved.Architettura;
            return platform::Status::Ok();
        };
        comprimi = [this](const std::string& cabDir, const std::string& base,
                          const std::vector<CabinetEntry>& entries, std::uint32_t,
                          std::uint32_t method, const CabinetProgress& progress) {
            calls.push_back("comprimi");
            comprimiMethod = method;
            comprimiEntries = entries;
            cabinetFolder = platform::WithoutTrailingSeparator(cabDir);
            std::string cabinet;
            for (const CabinetEntry& listed : entries) {
                Packed entry{platform::SourceFileName(listed.path), listed.path,
                             Read(listed.path), 0};
                platform::ReadFileTime(listed.path, &entry.time);
                packed.push_back(entry);
                // Each file as one block, as the library tells a block it compressed.
                if (!progress(static_cast<std::uint32_t>(entry.content.size())))
                    return 0;
                cabinet += entry.name + "=" + entry.content + ";";
            }
            Write(cabDir + base + ".CAB", cabinet);
            return 1;
        };
        services.bindComprimi = [this](ComprimiFunction* bound) {
            *bound = comprimi;
            return platform::Status::Ok();
        };
        services.findProgram = [](const std::string& name) { return "/opt/bin/" + name; };
        services.runProgram = [this](const Command& command, int* exitCode) {
            SigningRun run{command, "", ValueAfter(command, "-in"), ValueAfter(command, "-out")};
            const std::string passwordFile = ValueAfter(command, "-readpass");
            if (!passwordFile.empty())
                run.password = Read(passwordFile);
            runs.push_back(run);
            Write(run.out, "SIGNED(" + Read(run.in) + ")");
            *exitCode = signingExit;
            return platform::Status::Ok();
        };
        services.tempFolder = tempFolder;
        ASSERT_TRUE(Write(project.ExeFile, "OLD PACKAGE")); // of an earlier build
    }

    void Sign() {
        options.signing.certificateFile = folder.WriteFile("cert.pem", "CERT");
        options.signing.keyFile = folder.WriteFile("key.pem", "KEY");
    }

    void SetProjectFile(int index, const std::string& content, std::int64_t time) {
        const std::string& path = project.Files()[index].path;
        ASSERT_TRUE(Write(path, content));
        ASSERT_TRUE(platform::WriteFileTime(path, time).ok);
        contentBytes += content.size();
    }

    std::vector<std::string> PackedNames() const {
        std::vector<std::string> names;
        for (const Packed& entry : packed)
            names.push_back(entry.name);
        return names;
    }

    bool TempFolderIsEmpty() const {
        std::vector<std::string> names;
        return platform::ListFolder(tempFolder, &names).ok && names.empty();
    }

    // The old package still there as it was, with no working file of a new one beside it.
    bool OldPackageStands() const {
        std::vector<std::string> names;
        EXPECT_TRUE(platform::ListFolder(folder.Path(), &names).ok);
        for (const std::string& name : names) {
            if (platform::IsWorkingFileName(name, "Setup.exe"))
                return false;
        }
        return Read(folder.Path("Setup.exe")) == "OLD PACKAGE";
    }

    // Failed once, of its kind, never done, no box shown, nothing left behind.
    void ExpectFailedLeavingNothing(FailureKind kind) {
        EXPECT_TRUE(OldPackageStands());
        EXPECT_TRUE(TempFolderIsEmpty());
        EXPECT_TRUE(status.done.empty());
        EXPECT_TRUE(boxes.Calls().empty());
        ASSERT_EQ(status.failures.size(), 1u);
        EXPECT_EQ(status.failures[0].kind, kind);
    }

    velaset_test::ScratchFolder folder;
    std::string stubPath, stub64Path, runtimePath, runtime64Path, tempFolder;
    const std::string runtimeBytes = FakeLibrary(kMachineI386, "RUNTIME");
    const std::string runtime64Bytes = FakeLibrary(kMachineAmd64, "RUNTIME64");
    Architecture savedArchitecture = Architecture::X86;
    std::uint32_t comprimiMethod = 0; // of the last call
    std::vector<CabinetEntry> comprimiEntries;
    std::vector<Architecture> stubArchitectures; // of each look for the stub
    Project project;
    BuildOptions options;
    BuildServices services;
    ComprimiFunction comprimi;
    RecordedStatus status;
    std::vector<std::string> calls;
    std::size_t contentBytes = 0;
    std::vector<Packed> packed;
    std::string cabinetFolder; // where the cabinet library was asked to write
    std::vector<SigningRun> runs;
    int signingExit = 0; // the exit code of every signing run
    platform::MessageBoxRecorder boxes;
};

// A second, independent set-up inside one test, for table-driven cases.
struct FreshPipeline : PipelineTest {
    FreshPipeline() { SetUp(); }
    void TestBody() override {}
};

std::string ShortNameOf(const std::string& path) {
    return platform::SourceFileName(platform::ShortPath(path));
}

// The bar moves from 30 towards 50 with the bytes compressed, naming the file packed.
TEST_F(PipelineTest, AFullBuildReportsItsStepsAndBytesAndLeavesNothingBehind) {
    ASSERT_TRUE(RunBuild(project, options, services, status));
    EXPECT_EQ(status.steps, (std::vector<BuildStep>{BuildStep::Inputs, BuildStep::Script,
                                                    BuildStep::Cabinet, BuildStep::Executable}));
    EXPECT_EQ(status.progress, (std::vector<int>{0, 10, 30, 50, 70, 90, 100}));
    EXPECT_EQ(status.bytes.bytesTotal,
              contentBytes + runtimeBytes.size() + std::string("FULL").size())
        << "the project's files, the runtime library and the script";
    ASSERT_EQ(status.moves.size(), 5u) << "one move per block of the fake library";
    std::uint64_t before = 0;
    int percent = 30;
    for (const BuildProgress& move : status.moves) {
        EXPECT_EQ(move.step, BuildStep::Cabinet);
        EXPECT_GT(move.bytesDone, before);
        EXPECT_GE(move.percent, percent);
        EXPECT_EQ(move.bytesTotal, status.bytes.bytesTotal);
        before = move.bytesDone;
        percent = move.percent;
    }
    EXPECT_EQ(status.moves.back().bytesDone, status.moves.back().bytesTotal);
    EXPECT_EQ(status.moves.back().percent, 50);
    // Each block ends a file, so each move names the file after it.
    EXPECT_EQ(status.moves[0].packing, project.Files()[1].path);
    EXPECT_EQ(status.moves[2].packing, runtimePath);
    EXPECT_EQ(status.moves[3].packing, "setup.inf");
    EXPECT_TRUE(status.failures.empty());
    EXPECT_EQ(status.done, (std::vector<std::string>{project.ExeFile}));
    EXPECT_TRUE(boxes.Calls().empty()) << "the pipeline shows nothing itself";
    EXPECT_TRUE(TempFolderIsEmpty()) << "the private build folder must go";
    EXPECT_EQ(platform::SourceFolderPart(cabinetFolder), tempFolder + platform::SourceSeparator());
    EXPECT_TRUE(platform::IsShortName(platform::SourceFileName(cabinetFolder)))
        << "its short path must not change while other folders come and go: " << cabinetFolder;
    // The script and the runtime take the newest project file's time; the runtime stays.
    ASSERT_EQ(PackedNames(),
              (std::vector<std::string>{"Demo.exe", ShortNameOf(project.Files()[1].path),
                                        "Comp.ocx", "avviora.dll", "setup.inf"}));
    EXPECT_EQ(packed[0].time, 1600000000);
    EXPECT_EQ(packed[3].time, 1650000000);
    EXPECT_EQ(packed[4].time, 1650000000);
    std::int64_t original = 0;
    ASSERT_TRUE(platform::ReadFileTime(runtimePath, &original));
    EXPECT_EQ(original, 1000000000);
}

// The architecture and the compression are the project's, or the options' over them (never
// saved); a distribution-only package has no runtime. LZX joins the project files into one
// folder; the runtime and the script keep their own.
TEST_F(PipelineTest, APackageIsItsArchitecturesStubFollowedByTheCabinet) {
    using A = Architecture;
    using C = Compression;
    const struct {
        const char* what;
        Architecture project;
        std::optional<Architecture> option;
        bool distributionOnly;
        Architecture built;
        Compression compression;
        std::optional<Compression> compressionOption;
        std::uint32_t method;
    } cases[] = {
        {"x86", A::X86, std::nullopt, false, A::X86, C::MsZip, std::nullopt, kMethodMsZip},
        {"the project's x64", A::X64, std::nullopt, false, A::X64, C::Lzx, std::nullopt,
         kMethodLzx},
        {"the build's x64", A::X86, A::X64, false, A::X64, C::Lzx, C::MsZip, kMethodMsZip},
        {"the option back to x86", A::X64, A::X86, false, A::X86, C::MsZip, C::Lzx, kMethodLzx},
        {"distribution-only x86", A::X86, std::nullopt, true, A::X86, C::Lzx, std::nullopt,
         kMethodLzx},
        {"distribution-only x64", A::X64, std::nullopt, true, A::X64, C::MsZip, std::nullopt,
         kMethodMsZip},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FreshPipeline t;
        t.project.Architettura = c.project;
        t.options.architecture = c.option;
        t.project.Compressione = c.compression;
        t.options.compression = c.compressionOption;
        if (c.distributionOnly) {
            t.project.SetDistribuzione(1);
            t.services.locateRuntime = FailingWith(platform::Status::Failed("Impossibile trovare"));
        }
        ASSERT_TRUE(RunBuild(t.project, t.options, t.services, t.status));
        const bool x64 = c.built == Architecture::X64;
        const std::size_t stubSize = x64 ? STUB64_IMAGE_SIZE : STUB_IMAGE_SIZE;
        const std::string exe = Read(t.project.ExeFile);
        ASSERT_GT(exe.size(), stubSize);
        EXPECT_EQ(exe.substr(0, stubSize), x64 ? FakeStubImage(STUB64_IMAGE_SIZE, kMachineAmd64)
                                               : FakeStubImage(STUB_IMAGE_SIZE));
        const std::string runtime =
            c.distributionOnly ? ""
                               : "avviora.dll=" + (x64 ? t.runtime64Bytes : t.runtimeBytes) + ";";
        EXPECT_EQ(exe.substr(stubSize), "Demo.exe=PROGRAM;" +
                                            ShortNameOf(t.project.Files()[1].path) +
                                            "=TEXT;Comp.ocx=LIB;" + runtime + "setup.inf=" +
                                            (c.distributionOnly ? "DIST;" : "FULL;"));
        EXPECT_EQ(t.calls, (std::vector<std::string>{c.distributionOnly ? "script:dist"
                                                                         : "script:full",
                                                      "save", "comprimi"}));
        EXPECT_EQ(t.stubArchitectures, std::vector<Architecture>{c.built});
        EXPECT_EQ(t.savedArchitecture, c.project);
        EXPECT_EQ(t.comprimiMethod, c.method);
        std::vector<bool> ends;
        for (const CabinetEntry& entry : t.comprimiEntries)
            ends.push_back(entry.endsFolder);
        const bool lzx = c.method == kMethodLzx;
        std::vector<bool> expected = {!lzx, !lzx, true, true, true};
        expected.resize(c.distributionOnly ? 4 : 5);
        EXPECT_EQ(ends, expected);
    }
}

TEST_F(PipelineTest, PackedTimesAreClampedToSourceDateEpoch) {
    services.sourceDateEpoch = 1620000000;
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    ASSERT_EQ(packed.size(), 5u);
    for (const Packed& entry : packed)
        EXPECT_LE(entry.time, 1620000000) << entry.name;
    EXPECT_EQ(packed[0].path, platform::ShortPath(project.Files()[0].path))
        << "an older file is packed from where it is";
    EXPECT_NE(packed[1].path, platform::ShortPath(project.Files()[1].path))
        << "a newer file is packed from a copy";
    EXPECT_EQ(packed[1].name, ShortNameOf(project.Files()[1].path));
    EXPECT_EQ(packed[1].content, "TEXT");
    std::int64_t original = 0;
    ASSERT_TRUE(platform::ReadFileTime(project.Files()[1].path, &original));
    EXPECT_EQ(original, 1650000000);
}

// The package time (script, runtime) too.
TEST_F(PipelineTest, DatesACabinetCannotHoldBecomeTheNearestAndAreListed) {
    const CabinetTimes range = CabinetTimeRange();
    ASSERT_TRUE(platform::WriteFileTime(project.Files()[0].path, range.earliest - 86400).ok);
    ASSERT_TRUE(platform::WriteFileTime(project.Files()[1].path, range.latest + 86400 * 365).ok);
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    ASSERT_EQ(packed.size(), 5u);
    EXPECT_EQ(packed[0].time, range.earliest);
    EXPECT_EQ(packed[1].time, range.latest);
    EXPECT_EQ(packed[2].time, 1550000000) << "a date it holds stays";
    EXPECT_EQ(packed[3].time, range.latest) << "the runtime takes the package time";
    EXPECT_EQ(Read(project.Files()[0].path), "PROGRAM") << "packed from a copy";
    ASSERT_EQ(status.notices.size(), 1u);
    EXPECT_EQ(status.notices[0].rfind("Questi file hanno una data che un file CAB non può "
                                      "contenere (prima del 1980 o dopo il 2107)",
                                      0),
              0u);
    for (int i : {0, 1})
        EXPECT_NE(status.notices[0].find("\n  " + project.Files()[i].path + " ("),
                  std::string::npos);
    EXPECT_EQ(status.notices[0].find(project.Files()[2].path), std::string::npos);
    EXPECT_NE(status.notices[0].find(": 01/01/1980 00:00:00)"), std::string::npos);
    EXPECT_NE(status.notices[0].find(": 31/12/2107 23:59:58)"), std::string::npos);
    EXPECT_EQ(LocalTimeText(range.latest + 2 + 86400 * 366), "01/01/2109 00:00:00"); // leap
}

// The output path of the options replaces an older file there, not the project's ExeFile.
TEST_F(PipelineTest, TheOptionsEditTheScriptAndChooseTheOutput) {
    options.editScript = true;
    options.exeFile = folder.Path("Altro.exe");
    ASSERT_TRUE(Write(options.exeFile, std::string(50000, 'o')));
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    EXPECT_EQ(calls, (std::vector<std::string>{"script:full", "edit", "save", "comprimi"}));
    EXPECT_EQ(packed.back().content, "FULL+EDITED");
    const std::string exe = Read(options.exeFile);
    EXPECT_EQ(exe.substr(0, STUB_IMAGE_SIZE + 9), FakeStubImage(STUB_IMAGE_SIZE) + "Demo.exe=");
    EXPECT_EQ(exe.find("oooo"), std::string::npos) << "nothing of the older file stays";
    EXPECT_TRUE(OldPackageStands());
    EXPECT_EQ(status.done, (std::vector<std::string>{options.exeFile}));
}

// Both ways round; a library without the mark, or no Windows library, is no concern.
TEST_F(PipelineTest, RefusesALibraryToRegisterOfTheOtherArchitecture) {
    struct Case {
        Architecture package;
        unsigned library;
        const char* destination;
        bool refused;
    };
    const Case cases[] = {
        {Architecture::X64, kMachineI386, "D*", true},
        {Architecture::X64, kMachineI386, "S*", true},
        {Architecture::X86, kMachineAmd64, "D*", true},
        {Architecture::X64, kMachineAmd64, "D*", false},
        {Architecture::X86, kMachineI386, "S*", false},
        {Architecture::X64, kMachineI386, "D", false},
        {Architecture::X64, kMachineI386, "W*", false}, // the mark counts on D and S only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ArchitectureName(c.package)) + " " + c.destination);
        FreshPipeline t;
        t.project.Architettura = c.package;
        const std::string library = t.project.Files()[2].path;
        ASSERT_TRUE(Write(library, FakeLibrary(c.library, "LIB")));
        t.project.SetFileDestination(2, c.destination);
        EXPECT_EQ(RunBuild(t.project, t.options, t.services, t.status), !c.refused);
        if (!c.refused)
            continue;
        EXPECT_TRUE(t.calls.empty()) << "refused before anything is written";
        t.ExpectFailedLeavingNothing(FailureKind::InvalidInput);
        ASSERT_EQ(t.status.failures.size(), 1u);
        EXPECT_EQ(t.status.failures[0].step, BuildStep::Inputs);
        const bool x64 = c.package == Architecture::X64;
        EXPECT_EQ(t.status.failures[0].text,
                  "La libreria da registrare " + library + (x64 ? " è a 32 bit (x86)" : " è a 64 bit (x64)") +
                      ": un pacchetto " + (x64 ? "x64 (64 bit)" : "x86 (32 bit)") +
                      " la registrerebbe con regsvr32 a " + (x64 ? "64" : "32") +
                      " bit, che non può caricarla. Usare la sua versione a " + (x64 ? "64" : "32") +
                      " bit o creare un pacchetto " + (x64 ? "x86 (32 bit)." : "x64 (64 bit)."));
    }
}

TEST_F(PipelineTest, EveryFailingStepEndsTheBuildLeavingTheOldSetupExecutable) {
    struct Case {
        const char* what;
        BuildStep step;
        FailureKind kind;
        std::string text; // a part of the user's text (its start but for the folder's
                          // refusals); empty: the library told the user
        std::function<void(PipelineTest&)> arrange;
        int systemError = 0; // the system's number the failure carries
    };
    using platform::ErrorKind, platform::Operation, platform::Status;
    using K = FailureKind;
    using T = PipelineTest;
    const auto failing = [](auto BuildServices::*service, const Status& answer) {
        return [service, answer](T& t) { t.services.*service = FailingWith(answer); };
    };
    const BuildStep inputs = BuildStep::Inputs, script = BuildStep::Script,
                    cabinet = BuildStep::Cabinet;
    const Case cases[] = {
        {"stub image missing", inputs, K::MissingInput, "Avviora X",
         failing(&BuildServices::locateStub, Status::Failed("Avviora X"))},
        {"stub image of the other architecture", inputs, K::InvalidInput,
         "Il programma di installazione in ",
         [](T& t) {
             t.project.Architettura = Architecture::X64;
             Write(t.stub64Path, FakeStubImage(STUB64_IMAGE_SIZE, kMachineI386));
         }},
        {"runtime library of the other architecture", inputs, K::InvalidInput, "La libreria ",
         [](T& t) {
             t.project.Architettura = Architecture::X64;
             Write(t.runtime64Path, t.runtimeBytes);
         }},
        {"runtime library that is no Windows library", inputs, K::InvalidInput, "La libreria ",
         [](T& t) { Write(t.runtimePath, "RUNTIME"); }},
        {"runtime library missing", inputs, K::MissingInput, "avviora Y",
         failing(&BuildServices::locateRuntime, Status::Failed("avviora Y", ErrorKind::NotFound))},
        {"script cannot be written", script, K::UnwritableOutput, "Impossibile creare ",
         [](T& t) {
             t.services.writeScript = [](const Project&, bool, const std::string& path) {
                 return Status::SystemError(ENOSPC, Operation::Create, path);
             };
         }},
        {"script refused", script, K::InvalidInput, "Titolo",
         failing(&BuildServices::writeScript, Status::Failed("Titolo", ErrorKind::Refused))},
        {"editor ends with an error", script, K::EditorFailed,
         "Il programma false x è terminato in modo anomalo (codice di uscita 1): il pacchetto non "
         "è stato creato.",
         [](T& t) {
             t.options.editScript = true;
             t.services.editScript = FailingWith(platform::ExitedWith(1, "false x"));
         }},
        {"project cannot be saved", script, K::UnwritableOutput,
         "Impossibile creare Demo.mip, " + platform::SystemErrorText(EACCES),
         failing(&BuildServices::saveProject,
                 Status::SystemError(EACCES, Operation::Create, "Demo.mip")),
         EACCES},
        {"cabinet library cannot be bound", inputs, K::MissingInput, "Compress",
         failing(&BuildServices::bindComprimi, Status::Failed("Compress"))},
        {"the project's output folder is gone", inputs, K::NoOutputFolder, "La cartella ",
         [](T& t) { t.project.ExeFile = t.folder.Path("manca/Setup.exe"); }},
        {"the chosen output folder is a file", inputs, K::NoOutputFolder,
         " è un file, non una cartella",
         [](T& t) { t.options.exeFile = platform::JoinSourcePath(t.stubPath, "S.exe"); }},
        {"output path is the project file", inputs, K::InvalidInput, "Impossibile creare ",
         [](T& t) {
             Write(t.project.ProgFile, "[Progetto]\r\n");
             t.options.exeFile = t.project.ProgFile;
         }},
        {"program to start not in the package", inputs, K::InvalidInput,
         "Il programma da avviare alla fine dell'installazione (Lancio), \"nonce.exe\"",
         [](T& t) {
             t.project.SetChkLancio(1);
             t.project.Lancio = "nonce.exe";
         }},
        {"a file larger than a cabinet holds", inputs, K::TooLarge, "Il file ",
         [](T& t) {
             std::filesystem::resize_file(std::filesystem::u8path(t.project.Files()[1].path),
                                          std::uintmax_t{CABINET_FILE_LIMIT} + 1);
         }},
        {"cabinet library fails", cabinet, K::CabinetFailed, "",
         [](T& t) { t.comprimi = Answering(0); }},
        {"cabinet library fails on a working disk without room", cabinet, K::CabinetFailed,
         "Impossibile creare il file CAB: il disco della cartella di lavoro ",
         [](T& t) {
             t.comprimi = Answering(0);
             t.services.freeSpace = [](const std::string&, std::uint64_t* bytes) {
                 return (*bytes = 300000, true);
             };
         }},
        {"files need a second cabinet", cabinet, K::TooLarge,
         "I file del progetto superano il limite di 145000000 byte di un file CAB",
         [](T& t) {
             t.comprimi = [real = t.comprimi](const std::string& dir, const std::string& base,
                                              const auto& entries, auto limit, auto method,
                                              const CabinetProgress& progress) {
                 Write(dir + base + "2.CAB", "more");
                 return real(dir, base, entries, limit, method, progress);
             };
         }},
        {"cabinet cannot be appended", BuildStep::Executable, K::UnwritableOutput,
         "Impossibile accodare ", [](T& t) { t.comprimi = Answering(1); }},
        {"signing program missing", inputs, K::SigningFailed,
         "Impossibile firmare il pacchetto: il programma osslsigncode non è installato.",
         [](T& t) {
             t.Sign();
             t.services.findProgram = [](const std::string&) { return ""; };
         }},
        {"certificate missing", inputs, K::MissingInput, "Impossibile leggere ",
         [](T& t) {
             t.Sign();
             t.options.signing.certificateFile = t.folder.Path("manca.pem");
         }},
        {"PKCS#12 file missing", inputs, K::MissingInput, "Impossibile leggere ",
         [](T& t) { t.options.signing.pkcs12File = t.folder.Path("manca.p12"); }},
        {"signing fails", BuildStep::Signature, K::SigningFailed, "Impossibile firmare ",
         [](T& t) { t.Sign(), t.signingExit = 255; }},
        {"runtime signing fails", cabinet, K::SigningFailed, "Impossibile firmare ",
         [](T& t) {
             t.Sign();
             t.options.signing.signRuntime = true;
             t.signingExit = 1;
         }},
        {"signing program cannot start", BuildStep::Signature, K::SigningFailed,
         "Il programma /opt/bin/osslsigncode è terminato in modo anomalo",
         [](T& t) {
             t.Sign();
             t.services.runProgram = FailingWith(Status::Failed(
                 "", ErrorKind::Abnormal, Operation::Start, "/opt/bin/osslsigncode"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreshPipeline t;
        c.arrange(t);
        const std::string projectBefore = Read(t.project.ProgFile);
        EXPECT_FALSE(RunBuild(t.project, t.options, t.services, t.status));
        EXPECT_EQ(Read(t.project.ProgFile), projectBefore);
        if (c.step == BuildStep::Inputs)
            EXPECT_TRUE(t.calls.empty()) << "refused before anything was written or saved";
        t.ExpectFailedLeavingNothing(c.kind);
        if (t.status.failures.size() != 1)
            continue;
        const BuildFailure& failure = t.status.failures[0];
        EXPECT_EQ(failure.step, c.step);
        EXPECT_EQ(t.status.steps.back(), c.step) << "no step starts after the failure";
        if (c.systemError != 0)
            EXPECT_EQ(failure.systemError, c.systemError);
        if (c.text.empty())
            EXPECT_TRUE(failure.text.empty()) << failure.text;
        else if (c.kind == FailureKind::NoOutputFolder)
            EXPECT_NE(failure.text.find(c.text), std::string::npos) << failure.text;
        else
            EXPECT_EQ(failure.text.rfind(c.text, 0), 0u) << failure.text;
    }
}

#ifndef _WIN32
// The working file of the new package is what cannot grow.
TEST_F(PipelineTest, AFullOutputDiskIsToldByItsFolder) {
    struct rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = STUB_IMAGE_SIZE + 8;
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool built = CreaPacchetto(project, options, services, status);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(built);
    ExpectFailedLeavingNothing(FailureKind::UnwritableOutput);
    EXPECT_EQ(status.failures[0].text, "Impossibile creare " + project.ExeFile +
                                           ": il disco della cartella " + folder.Path() +
                                           " è pieno (" + platform::SystemErrorText(EFBIG) + ").");
}
#endif

TEST_F(PipelineTest, AnInterruptedBuildStopsAtItsNextCheckAndLeavesNothing) {
    int checks = 0;
    {
        FreshPipeline count;
        count.services.interrupted = [&checks] {
            ++checks;
            return false;
        };
        ASSERT_TRUE(CreaPacchetto(count.project, count.options, count.services, count.status));
    }
    ASSERT_GE(checks, 8) << "between the steps and with every block";
    for (int at = 1; at <= checks; ++at) {
        SCOPED_TRACE(at);
        FreshPipeline t;
        int asked = 0;
        t.services.interrupted = [&asked, at] { return ++asked >= at; };
        EXPECT_FALSE(CreaPacchetto(t.project, t.options, t.services, t.status));
        t.ExpectFailedLeavingNothing(FailureKind::Interrupted);
        EXPECT_TRUE(t.status.failures.empty() || t.status.failures[0].text.empty());
    }
}

TEST_F(PipelineTest, ScriptOnlyRunWritesTheFullScriptAndSavesWithoutPacking) {
    project.SetDistribuzione(1);
    options.scriptOnly = true;
    services.bindComprimi = nullptr; // must not be reached
    ASSERT_TRUE(RunBuild(project, options, services, status));
    const std::string script = platform::JoinSourcePath(tempFolder, "setup.inf");
    EXPECT_EQ(status.done, (std::vector<std::string>{script}));
    EXPECT_EQ(Read(script), "FULL");
    EXPECT_EQ(calls, (std::vector<std::string>{"script:full", "save"}));
    EXPECT_EQ(status.progress, (std::vector<int>{100}));
    EXPECT_TRUE(OldPackageStands());
    EXPECT_TRUE(boxes.Calls().empty());
}

// Signed in the private folder (at SOURCE_DATE_EPOCH); unsigned, no program is looked for.
TEST_F(PipelineTest, ASignedPackageIsTheUnsignedOneSignedAsTheLastStep) {
    services.findProgram = nullptr; // must not be reached
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    EXPECT_EQ(status.steps.back(), BuildStep::Executable);
    const std::string unsignedExe = Read(project.ExeFile);

    FreshPipeline t;
    t.Sign();
    t.services.sourceDateEpoch = 1262304000;
    ASSERT_TRUE(CreaPacchetto(t.project, t.options, t.services, t.status));
    EXPECT_EQ(t.status.steps.back(), BuildStep::Signature);
    ASSERT_EQ(t.runs.size(), 1u);
    EXPECT_EQ(t.runs[0].command[0], "/opt/bin/osslsigncode");
    EXPECT_EQ(ValueAfter(t.runs[0].command, "-certs"), t.options.signing.certificateFile);
    EXPECT_EQ(ValueAfter(t.runs[0].command, "-key"), t.options.signing.keyFile);
    EXPECT_EQ(ValueAfter(t.runs[0].command, "-time"), "1262304000");
    for (const std::string& file : {t.runs[0].in, t.runs[0].out})
        EXPECT_EQ(platform::SourceFolderPart(file).rfind(t.tempFolder, 0), 0u)
            << "signed in the private folder, then put in place: " << file;
    EXPECT_EQ(Read(t.project.ExeFile), "SIGNED(" + unsignedExe + ")");
    EXPECT_EQ(t.status.done, (std::vector<std::string>{t.project.ExeFile}));
    EXPECT_TRUE(t.TempFolderIsEmpty());
}

// The password reaches the program in a file, never on its command line, and the file goes
// right after each run: when the build is done, its private folder still there, it is gone.
TEST_F(PipelineTest, TheRuntimeIsSignedWhenAskedAndThePasswordFileGoesAfterEachRun) {
    Sign();
    options.signing.signRuntime = true;
    options.signing.password = "segreto di prova";
    bool privateFolderStood = false;
    status.whenDone = [this, &privateFolderStood] {
        ASSERT_FALSE(runs.empty());
        const std::string passwordFile = ValueAfter(runs.back().command, "-readpass");
        privateFolderStood = platform::IsDirectory(platform::SourceFolderPart(passwordFile));
        EXPECT_FALSE(platform::PathExists(passwordFile));
    };
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    EXPECT_TRUE(privateFolderStood) << "the check above must mean something";
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].in, runtimePath);
    EXPECT_EQ(platform::SourceFileName(runs[0].out), "avviora.dll");
    EXPECT_NE(Read(project.ExeFile).find("avviora.dll=SIGNED(" + runtimeBytes + ");"),
              std::string::npos);
    EXPECT_EQ(Read(runtimePath), runtimeBytes) << "the original stays as it is";
    for (const SigningRun& run : runs) {
        EXPECT_EQ(run.password, "segreto di prova");
        for (const std::string& argument : run.command)
            EXPECT_EQ(argument.find("segreto"), std::string::npos) << argument;
    }
    EXPECT_TRUE(TempFolderIsEmpty());

    runs.clear();
    project.SetDistribuzione(1);
    status.whenDone = nullptr;
    ASSERT_TRUE(CreaPacchetto(project, options, services, status));
    EXPECT_EQ(runs.size(), 1u) << "no runtime to sign";
}

#ifndef _WIN32
// A copy, with the file's time, where the path does not end in the package name or could
// not stand in the "+"-separated list; the files themselves stay.
TEST_F(PipelineTest, FilesWithoutSystemShortNamesArePackedUnderTheNamesThePackageMakes) {
    const std::string primo = folder.WriteFile("src/Leggimi per primo.txt", "PRIMO");
    const std::string somma = folder.WriteFile("src/a+b.txt", "SOMMA");
    const std::string plain = folder.WriteFile("src/piu+uno/readme.txt", "README");
    ASSERT_TRUE(platform::WriteFileTime(primo, 1500000000).ok);
    ASSERT_TRUE(platform::WriteFileTime(somma, 1660000000).ok);
    for (const std::string& path : {primo, somma, plain})
        ASSERT_TRUE(project.AddFile({path, "D"}).ok);
    services.sourceDateEpoch = 1620000000;
    velaset_test::NoShortNamesVolume volume;
    ASSERT_TRUE(CreaPacchetto(project, options, services, status)) << status.failures.size();
    EXPECT_EQ(PackedNames(),
              (std::vector<std::string>{"Demo.exe", "GUIDAL~1.HLP", "Comp.ocx", "LEGGIM~1.TXT",
                                        "A_B~1.TXT", "readme.txt", "avviora.dll", "setup.inf"}));
    ASSERT_EQ(packed.size(), 8u);
    EXPECT_EQ(packed[0].path, platform::ShortPath(project.Files()[0].path))
        << "a file with its own 8.3 name is packed from where it is";
    EXPECT_EQ(packed[3].content, "PRIMO");
    EXPECT_EQ(packed[3].time, 1500000000) << "the copy keeps the file's time";
    EXPECT_EQ(packed[4].content, "SOMMA");
    EXPECT_EQ(packed[4].time, 1620000000) << "and SOURCE_DATE_EPOCH still clamps it";
    EXPECT_EQ(packed[5].content, "README");
    for (const Packed& entry : packed)
        EXPECT_EQ(entry.path.find('+'), std::string::npos) << entry.path;
    EXPECT_EQ(Read(somma), "SOMMA");
    std::int64_t time = 0;
    ASSERT_TRUE(platform::ReadFileTime(somma, &time));
    EXPECT_EQ(time, 1660000000);
    EXPECT_TRUE(TempFolderIsEmpty());
}
#endif

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

#ifndef _WIN32 // the library linked in; the Windows programs load Compress.dll instead
std::uint16_t HeaderField(const std::string& cabinet, std::size_t offset) {
    return cabinet.size() < offset + 2
               ? 0
               : static_cast<std::uint16_t>(static_cast<unsigned char>(cabinet[offset]) |
                                            static_cast<unsigned char>(cabinet[offset + 1]) << 8);
}

// Paths with the "|" and "+" that the exports' list would split at are taken as they are.
TEST(LinkedComprimi, FoldersEndWhereTheEntriesSay) {
    ScratchFolder folder;
    const std::vector<std::string> files = {folder.Path("uno|a.txt"), folder.Path("due+b.txt")};
    const std::string script = folder.Path("setup.inf");
    for (const std::string& path : {files[0], files[1], script})
        ASSERT_TRUE(ScratchFolder::WriteBytes(path, path + " testo"));
    ComprimiFunction comprimi;
    ASSERT_TRUE(BindComprimi(&comprimi).ok);
    const struct {
        Compression compression;
        std::uint16_t folders;
    } cases[] = {{Compression::MsZip, 3}, {Compression::Lzx, 2}};
    for (const auto& c : cases) {
        const std::string cabDir = folder.Path(std::to_string(c.folders)) + "/";
        ASSERT_TRUE(platform::MakeDirectory(cabDir).ok);
        std::uint64_t told = 0;
        ASSERT_EQ(CreaCab(comprimi, cabDir, CabinetEntries(files, "", script, c.compression),
                          c.compression,
                          [&told](std::uint32_t bytes) { return (told += bytes, true); }),
                  1);
        const std::string cabinet = ScratchFolder::ReadFile(CabinetPath(cabDir, 1));
        EXPECT_EQ(HeaderField(cabinet, 26), c.folders);
        EXPECT_EQ(HeaderField(cabinet, 28), 3) << "files";
        EXPECT_GE(told, 3 * script.size());
    }
}
#endif

TEST(SourceDateEpoch, AcceptsOnlyWholeSeconds) {
    EXPECT_EQ(SourceDateEpoch("1700000000"), std::optional<std::int64_t>(1700000000));
    EXPECT_EQ(SourceDateEpoch("0"), std::optional<std::int64_t>(0));
    for (const char* bad : {"", "-5", "12x", "1.5", " 7"})
        EXPECT_EQ(SourceDateEpoch(bad), std::nullopt) << bad;
    EXPECT_EQ(SourceDateEpoch(nullptr), std::nullopt);
}

TEST(PackageTime, IsTheNewestFileTimeClampedToSourceDateEpoch) {
    ScratchFolder folder;
    const std::string older = folder.WriteFile("a.txt"), newer = folder.WriteFile("b.txt");
    ASSERT_TRUE(platform::WriteFileTime(older, 1500000000).ok);
    ASSERT_TRUE(platform::WriteFileTime(newer, 1600000000).ok);
    const std::vector<std::string> files = {older, newer, folder.Path("missing.txt")};

    EXPECT_EQ(PackageTime(files, std::nullopt), 1600000000);
    EXPECT_EQ(PackageTime(files, 1550000000), 1550000000);
    EXPECT_EQ(PackageTime(files, 1700000000), 1600000000);
    EXPECT_EQ(PackageTime({}, std::nullopt), kEmptyProjectTime);
    EXPECT_EQ(PackageTime({}, 100), 100);
}

} // namespace
} // namespace velaset

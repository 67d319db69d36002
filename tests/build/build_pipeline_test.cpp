#include "builder/build/build_pipeline.h"

#include <gtest/gtest.h>

#include <map>

#include "common/constants.h"
#include "platform/file_times.h"
#include "platform/message_box.h"
#include "platform/short_path.h"
#include "tests/build/build_test_folder.h"

namespace velaset {
namespace {

// What the fake cabinet library saw of one entry of its file list.
struct Packed {
    std::string name; // stored name: the text behind the last separator
    std::string path;
    std::string content;
    std::int64_t time = 0;
};

// A build against stand-ins for the stub, the runtime library, the script writer, the
// editor, the save and the cabinet library, all inside one scratch folder. The fake
// cabinet is the list of packed names and contents, so the tail of the setup
// executable shows what was packed.
class PipelineTest : public ::testing::Test {
  public:
    void SetUp() override {
        stubPath = folder.File("Avviora.exe");
        runtimePath = folder.File("avviora.dll");
        tempFolder = folder.File("tmp");
        ASSERT_TRUE(platform::MakeDirectory(tempFolder).ok);
        ASSERT_TRUE(WriteWholeFile(stubPath, FakeStubImage(STUB_IMAGE_SIZE)));
        ASSERT_TRUE(WriteWholeFile(runtimePath, "RUNTIME"));
        ASSERT_TRUE(platform::WriteFileTime(runtimePath, 1000000000).ok);
        AddProjectFile("Demo.exe", "PROGRAM", 1600000000);
        AddProjectFile("Leggimi con nome lungo.txt", "TEXT", 1650000000);
        project.ExeFile = folder.File("Setup.exe");
        project.ProgFile = folder.File("Demo.mip");

        services.locateStub = [this](StubImage* stub) {
            *stub = StubImage{stubPath, 0};
            return platform::Status::Ok();
        };
        services.locateRuntime = [this](std::string* path) {
            *path = runtimePath;
            return platform::Status::Ok();
        };
        services.writeScript = [this](const Project&, bool distributionOnly,
                                      const std::string& path) {
            calls.push_back(distributionOnly ? "script:dist" : "script:full");
            return WriteWholeFile(path, distributionOnly ? "DIST" : "FULL")
                       ? platform::Status::Ok()
                       : platform::Status::Failed("cannot write " + path);
        };
        services.editScript = [this](const std::string& path) {
            calls.push_back("edit");
            WriteWholeFile(path, ReadWholeFile(path) + "+EDITED");
            return platform::Status::Ok();
        };
        services.saveProject = [this](const Project&) {
            calls.push_back("save");
            return platform::Status::Ok();
        };
        services.comprimi = [this](const std::string& cabDir, const std::string& base,
                                   const std::string& list, std::uint32_t) {
            calls.push_back("comprimi");
            cabinetFolder = platform::WithoutTrailingSeparator(cabDir);
            std::string cabinet;
            std::size_t start = 0;
            while (start <= list.size()) {
                std::size_t plus = list.find('+', start);
                std::string path = list.substr(start, plus - start);
                Packed entry{platform::SourceFileName(path), path, ReadWholeFile(path), 0};
                platform::ReadFileTime(path, &entry.time);
                packed.push_back(entry);
                cabinet += entry.name + "=" + entry.content + ";";
                if (plus == std::string::npos)
                    break;
                start = plus + 1;
            }
            WriteWholeFile(cabDir + base + ".CAB", cabinet);
            return 1;
        };
        services.tempFolder = tempFolder;
        page.onProgress = [this](int percent) { progress.push_back(percent); };
    }

    void AddProjectFile(const std::string& name, const std::string& content, std::int64_t time) {
        std::string path = folder.File(name);
        ASSERT_TRUE(WriteWholeFile(path, content));
        ASSERT_TRUE(platform::WriteFileTime(path, time).ok);
        ASSERT_TRUE(project.AddFile(FileEntry{path, "D"}).ok);
    }

    std::vector<std::string> PackedNames() const {
        std::vector<std::string> names;
        for (const Packed& entry : packed)
            names.push_back(entry.name);
        return names;
    }

    std::string CabinetOfExe() const {
        std::string exe = ReadWholeFile(project.ExeFile);
        return exe.size() < STUB_IMAGE_SIZE ? std::string() : exe.substr(STUB_IMAGE_SIZE);
    }

    bool TempFolderIsEmpty() const {
        std::vector<std::string> names;
        return platform::ListFolder(tempFolder, &names).ok && names.empty();
    }

    TestFolder folder;
    std::string stubPath, runtimePath, tempFolder;
    Project project;
    BuildOptions options;
    BuildServices services;
    BuildPage page;
    std::vector<int> progress;
    std::vector<std::string> calls;
    std::vector<Packed> packed;
    std::string cabinetFolder; // where the cabinet library was asked to write
    platform::MessageBoxRecorder boxes;
};

// A second, independent set-up inside one test, for table-driven cases.
struct FreshPipeline : PipelineTest {
    void TestBody() override {}
};

std::string ShortNameOf(const std::string& path) {
    return platform::SourceFileName(platform::ShortPath(path));
}

TEST_F(PipelineTest, FullBuildIsTheStubFollowedByTheCabinetOfFilesRuntimeAndScript) {
    std::string scriptPath;
    ASSERT_TRUE(RunBuild(project, options, services, page, &scriptPath));

    const std::string exe = ReadWholeFile(project.ExeFile);
    EXPECT_EQ(exe.substr(0, STUB_IMAGE_SIZE), FakeStubImage(STUB_IMAGE_SIZE));
    EXPECT_EQ(CabinetOfExe(), "Demo.exe=PROGRAM;" +
                                  ShortNameOf(project.Files()[1].path) +
                                  "=TEXT;avviora.dll=RUNTIME;setup.inf=FULL;");
    EXPECT_EQ(calls, (std::vector<std::string>{"script:full", "save", "comprimi"}));
    EXPECT_EQ(progress, (std::vector<int>{0, 10, 30, 50, 70, 90, 100}));
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].title, "Velaset");
    EXPECT_EQ(boxes.Calls()[0].text, "Il file SETUP.EXE è stato creato!");
    EXPECT_EQ(boxes.Calls()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(page.Label22, "Creazione terminata");
    EXPECT_TRUE(TempFolderIsEmpty()) << "the private build folder must go";
    EXPECT_EQ(platform::SourceFolderPart(cabinetFolder), tempFolder + platform::SourceSeparator());
    EXPECT_TRUE(platform::IsShortName(platform::SourceFileName(cabinetFolder)))
        << "its short path must not change while other folders come and go: " << cabinetFolder;
}

TEST_F(PipelineTest, DistributionOnlyPackageCarriesNoRuntimeAndDoesNotNeedIt) {
    project.SetDistribuzione(1);
    services.locateRuntime = [](std::string*) {
        return platform::Status::Failed("Impossibile trovare avviora.dll");
    };
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    EXPECT_EQ(PackedNames(),
              (std::vector<std::string>{"Demo.exe", ShortNameOf(project.Files()[1].path),
                                        "setup.inf"}));
    EXPECT_EQ(calls.front(), "script:dist");
}

TEST_F(PipelineTest, ScriptAndRuntimeCarryTheNewestProjectFileTime) {
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    std::map<std::string, std::int64_t> times;
    for (const Packed& entry : packed)
        times[entry.name] = entry.time;
    EXPECT_EQ(times["setup.inf"], 1650000000);
    EXPECT_EQ(times["avviora.dll"], 1650000000);
    EXPECT_EQ(times["Demo.exe"], 1600000000);
    std::int64_t original = 0;
    ASSERT_TRUE(platform::ReadFileTime(runtimePath, &original));
    EXPECT_EQ(original, 1000000000) << "the runtime library itself is left as it is";
}

TEST_F(PipelineTest, SourceDateEpochClampsEveryPackedTime) {
    services.sourceDateEpoch = 1620000000;
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    ASSERT_EQ(packed.size(), 4u);
    for (const Packed& entry : packed)
        EXPECT_LE(entry.time, 1620000000) << entry.name;
    EXPECT_EQ(packed[0].path, platform::ShortPath(project.Files()[0].path))
        << "an older file is packed from where it is";
    EXPECT_NE(packed[1].path, platform::ShortPath(project.Files()[1].path))
        << "a newer file is packed from a copy";
    EXPECT_EQ(packed[1].name, ShortNameOf(project.Files()[1].path));
    EXPECT_EQ(packed[1].content, "TEXT");
    EXPECT_EQ(packed[1].time, 1620000000);
    std::int64_t original = 0;
    ASSERT_TRUE(platform::ReadFileTime(project.Files()[1].path, &original));
    EXPECT_EQ(original, 1650000000);
}

TEST_F(PipelineTest, EditedScriptIsTheOnePacked) {
    options.editScript = true;
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    EXPECT_EQ(calls, (std::vector<std::string>{"script:full", "edit", "save", "comprimi"}));
    EXPECT_EQ(packed.back().content, "FULL+EDITED");
}

TEST_F(PipelineTest, OldSetupExecutableIsReplaced) {
    ASSERT_TRUE(WriteWholeFile(project.ExeFile, std::string(50000, 'o')));
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    EXPECT_EQ(ReadWholeFile(project.ExeFile).size(), STUB_IMAGE_SIZE + CabinetOfExe().size());
    EXPECT_EQ(CabinetOfExe().substr(0, 9), "Demo.exe=");
}

TEST_F(PipelineTest, OutputPathOverridesExeFile) {
    options.exeFile = folder.File("Altro.exe");
    ASSERT_TRUE(CreaPacchetto(project, options, services, page));
    EXPECT_TRUE(platform::PathExists(options.exeFile));
    EXPECT_FALSE(platform::PathExists(project.ExeFile));
    EXPECT_EQ(boxes.Calls().back().text, "Il file ALTRO.EXE è stato creato!");
}

// Each failing step ends the build as failed, leaves no setup executable and no
// working files, and never shows the success message.
TEST_F(PipelineTest, EveryFailingStepEndsTheBuildWithoutASetupExecutable) {
    struct Case {
        const char* what;
        std::function<void(PipelineTest&)> arrange;
        std::string message; // the one box the build shows; empty: none of its own
    };
    const Case cases[] = {
        {"stub image missing",
         [](PipelineTest& t) {
             t.services.locateStub = [](StubImage*) {
                 return platform::Status::Failed("Impossibile trovare Avviora.exe; cercato in: X");
             };
         },
         "Impossibile trovare Avviora.exe; cercato in: X"},
        {"stub image of the wrong size",
         [](PipelineTest& t) { WriteWholeFile(t.stubPath, FakeStubImage(STUB_IMAGE_SIZE + 512)); },
         "Il programma di installazione in "},
        {"runtime library missing",
         [](PipelineTest& t) {
             t.services.locateRuntime = [](std::string*) {
                 return platform::Status::Failed("Impossibile trovare avviora.dll; cercato in: Y");
             };
         },
         "Impossibile trovare avviora.dll; cercato in: Y"},
        {"script writer fails",
         [](PipelineTest& t) {
             t.services.writeScript = [](const Project&, bool, const std::string&) {
                 return platform::Status::Failed("script refused");
             };
         },
         "script refused"},
        {"editor cannot be started",
         [](PipelineTest& t) {
             t.options.editScript = true;
             t.services.editScript = [](const std::string&) {
                 return platform::Status::Failed("no editor");
             };
         },
         "no editor"},
        {"project cannot be saved",
         [](PipelineTest& t) {
             t.services.saveProject = [](const Project&) {
                 return platform::Status::Failed("Impossibile salvare Demo.mip");
             };
         },
         "Impossibile salvare Demo.mip"},
        {"cabinet library fails",
         [](PipelineTest& t) {
             t.services.comprimi = [](const std::string&, const std::string&, const std::string&,
                                      std::uint32_t) { return 0; };
         },
         ""},
        {"files need a second cabinet",
         [](PipelineTest& t) {
             auto real = t.services.comprimi;
             t.services.comprimi = [real](const std::string& dir, const std::string& base,
                                          const std::string& list, std::uint32_t limit) {
                 int result = real(dir, base, list, limit);
                 WriteWholeFile(dir + base + "2.CAB", "more");
                 return result;
             };
         },
         "I file del progetto superano il limite di 145000000 byte di un file CAB"},
        {"setup executable cannot be created",
         [](PipelineTest& t) {
             t.project.ExeFile = t.folder.File(platform::JoinSourcePath("manca", "Setup.exe"));
         },
         "Impossibile creare "},
        {"cabinet cannot be appended",
         [](PipelineTest& t) {
             t.services.comprimi = [](const std::string&, const std::string&, const std::string&,
                                      std::uint32_t) { return 1; };
         },
         "Impossibile accodare "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreshPipeline t;
        t.SetUp();
        c.arrange(t);
        std::string scriptPath;
        EXPECT_FALSE(RunBuild(t.project, t.options, t.services, t.page, &scriptPath));
        EXPECT_FALSE(platform::PathExists(t.project.ExeFile));
        EXPECT_TRUE(t.TempFolderIsEmpty());
        EXPECT_TRUE(t.page.progressCleared);
        EXPECT_EQ(t.page.Label22, "Creazione fallita");
        if (c.message.empty()) {
            EXPECT_TRUE(t.boxes.Calls().empty());
        } else {
            ASSERT_EQ(t.boxes.Calls().size(), 1u);
            EXPECT_EQ(t.boxes.Calls()[0].text.rfind(c.message, 0), 0u) << t.boxes.Calls()[0].text;
            EXPECT_EQ(t.boxes.Calls()[0].icon, platform::MessageIcon::Stop);
        }
    }
}

TEST_F(PipelineTest, ScriptOnlyRunWritesTheFullScriptAndSavesWithoutPacking) {
    project.SetDistribuzione(1);
    options.scriptOnly = true;
    services.comprimi = nullptr; // must not be reached
    std::string scriptPath;
    ASSERT_TRUE(RunBuild(project, options, services, page, &scriptPath));
    EXPECT_EQ(scriptPath, platform::JoinSourcePath(tempFolder, "setup.inf"));
    EXPECT_EQ(ReadWholeFile(scriptPath), "FULL");
    EXPECT_EQ(calls, (std::vector<std::string>{"script:full", "save"}));
    EXPECT_EQ(progress, (std::vector<int>{100}));
    EXPECT_FALSE(platform::PathExists(project.ExeFile));
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(page.Label22, "Creazione INF terminata");
    EXPECT_FALSE(page.showNomeEseguibile);
}

} // namespace
} // namespace velaset

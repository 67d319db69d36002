#include "builder/build/build_pipeline.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "builder/build/package_times.h"
#include "builder/build/setup_executable.h"
#include "builder/project/project_file.h"
#include "builder/script/script_file.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/file_times.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/short_path.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {

namespace {

const char kTitle[] = "Velaset";
const char kScriptName[] = "setup.inf";

void ShowError(const std::string& text) {
    platform::ShowMessageBox(kTitle, text, platform::MessageIcon::Stop);
}

// The build's own folder under the temporary folder, removed on every way out. Its
// name ("vs" and six unique letters or digits) is a valid 8.3 name, so its short form is
// the name itself, whatever else comes and goes in the temporary folder meanwhile.
class PrivateFolder {
  public:
    platform::Status Make(const std::string& parent) {
        return platform::MakeUniqueFolder(parent, "vs", &path_);
    }
    ~PrivateFolder() {
        if (!path_.empty())
            platform::RemoveFolderTree(path_);
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return platform::JoinSourcePath(path_, name); }

  private:
    std::string path_;
};

// The short form of a path for the cabinet's file list. When the system has none (the
// file vanished) the path itself goes to the library, whose message then names it.
std::string ListPath(const std::string& path) {
    std::string shortPath = platform::ShortPath(path);
    return shortPath.empty() ? path : shortPath;
}

platform::Status CopyFile(const std::string& from, const std::string& to) {
    std::FILE* in = platform::OpenFile(from, "rb");
    if (in == nullptr)
        return platform::Status::Failed(from + ": " + platform::LastSystemErrorText());
    std::FILE* out = platform::OpenFile(to, "wb");
    if (out == nullptr) {
        std::string error = platform::LastSystemErrorText();
        std::fclose(in);
        return platform::Status::Failed(to + ": " + error);
    }
    std::vector<char> block(1 << 16);
    std::size_t got;
    bool ok = true;
    while (ok && (got = std::fread(block.data(), 1, block.size(), in)) > 0)
        ok = std::fwrite(block.data(), 1, got, out) == got;
    ok = ok && !std::ferror(in);
    std::string error = ok ? std::string() : platform::LastSystemErrorText();
    std::fclose(in);
    if (std::fclose(out) != 0 && ok) {
        ok = false;
        error = platform::LastSystemErrorText();
    }
    if (!ok)
        return platform::Status::Failed(to + ": " + error);
    return platform::Status::Ok();
}

// A copy of source in folder under name with the given last-write time.
platform::Status TimedCopy(const std::string& source, const std::string& folder,
                           const std::string& name, std::int64_t time, std::string* copy) {
    *copy = platform::JoinSourcePath(folder, name);
    platform::Status copied = CopyFile(source, *copy);
    if (copied)
        copied = platform::WriteFileTime(*copy, time);
    return copied;
}

std::string UpperCase(const std::string& text) {
    // ASCII letters and the Latin-1 letters à..þ (UTF-8 C3 A0..C3 BE but ÷), as the
    // Windows-1252 upper-casing of the file name does.
    std::string upper = text;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(upper[i]);
        if (c >= 'a' && c <= 'z') {
            upper[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < upper.size()) {
            unsigned char next = static_cast<unsigned char>(upper[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                upper[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
    return upper;
}

} // namespace

BuildServices DefaultBuildServices() {
    BuildServices services;
    services.locateStub = LocateStubImage;
    services.locateRuntime = LocateRuntimeLibrary;
    services.writeScript = [](const Project& project, bool distributionOnly,
                              const std::string& path) {
        return WriteSetupScript(project,
                                distributionOnly ? ScriptVariant::DistributionOnly
                                                 : ScriptVariant::Full,
                                path);
    };
    services.editScript = platform::EditTextFileAndWait;
    services.saveProject = SaveProject;
    services.tempFolder = platform::TempFolder();
    services.sourceDateEpoch = SourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"));
    return services;
}

std::string BuildSuccessMessage(const std::string& exePath) {
    return "Il file " + UpperCase(platform::SourceFileName(exePath)) + " è stato creato!";
}

bool CreaPacchetto(const Project& project, const BuildOptions& options,
                   const BuildServices& services, BuildPage& page) {
    const std::string exePath = options.exeFile.empty() ? project.ExeFile : options.exeFile;
    const bool distributionOnly = project.Distribuzione() == 1;
    auto fail = [&](const std::string& text) {
        if (!text.empty())
            ShowError(text);
        page.ClearProgress();
        return false;
    };

    page.SetProgress(0);

    // The stub image and, for a package with uninstall support, the runtime library
    // must be there before anything is written.
    StubImage stub;
    platform::Status found = services.locateStub(&stub);
    std::string stubBytes;
    if (found)
        found = ReadStubImage(stub, &stubBytes);
    std::string runtimeLibrary;
    if (found && !distributionOnly)
        found = services.locateRuntime(&runtimeLibrary);
    if (!found)
        return fail(found.message);

    if (platform::PathExists(exePath)) {
        platform::Status removed = platform::RemoveFile(exePath);
        if (!removed)
            return fail("Impossibile creare " + exePath + ", " + removed.message);
    }

    PrivateFolder work;
    platform::Status made = work.Make(services.tempFolder);
    if (!made)
        return fail("Impossibile creare una cartella di lavoro in " + services.tempFolder + ", " +
                    made.message);

    const std::string script = work.File(kScriptName);
    platform::Status step = services.writeScript(project, distributionOnly, script);
    if (!step)
        return fail(step.message);
    page.SetProgress(10);

    if (options.editScript) {
        step = services.editScript(script);
        if (!step)
            return fail(step.message);
    }

    step = services.saveProject(project);
    if (!step)
        return fail(step.message);
    page.SetProgress(30);

    // The file list, every entry by its short path, with the fixed package time on the
    // script, on the runtime library's copy and (SOURCE_DATE_EPOCH) on newer files.
    std::vector<std::string> sources;
    for (const FileEntry& file : project.Files())
        sources.push_back(file.path);
    const std::int64_t packageTime = PackageTime(sources, services.sourceDateEpoch);
    std::vector<std::string> listed;
    const std::string clampedFolder = work.File("clamped");
    for (const std::string& source : sources) {
        std::string entry = ListPath(source);
        std::int64_t time;
        if (services.sourceDateEpoch && platform::ReadFileTime(source, &time) &&
            time > *services.sourceDateEpoch) {
            step = platform::MakeDirectory(clampedFolder);
            if (step)
                step = TimedCopy(source, clampedFolder, platform::SourceFileName(entry),
                                 *services.sourceDateEpoch, &entry);
            if (!step)
                return fail("Impossibile creare il file CAB, " + step.message);
            entry = ListPath(entry);
        }
        listed.push_back(entry);
    }
    std::string runtimeEntry;
    if (!distributionOnly) {
        step = TimedCopy(runtimeLibrary, work.Path(), kRuntimeFileName, packageTime, &runtimeEntry);
        if (!step)
            return fail("Impossibile creare il file CAB, " + step.message);
        runtimeEntry = ListPath(runtimeEntry);
    }
    step = platform::WriteFileTime(script, packageTime);
    if (!step)
        return fail("Impossibile creare il file CAB, " + step.message);

    const std::string cabDir = work.Path() + platform::SourceSeparator();
    const std::string fileList = ComprimiFileList(listed, runtimeEntry, ListPath(script));
    if (CreaCab(services.comprimi, cabDir, fileList) == 0)
        return fail(""); // the library has shown its own messages
    if (platform::PathExists(CabinetPath(cabDir, 2)))
        return fail("I file del progetto superano il limite di " +
                    std::to_string(CABINET_SIZE_LIMIT) +
                    " byte di un file CAB: il pacchetto di installazione ne può contenere uno "
                    "solo. Dividere i file in più progetti.");
    page.SetProgress(50);

    step = InserisciDLL(exePath, stub);
    if (step) {
        page.SetProgress(70);
        step = InserisciFile(exePath, CabinetPath(cabDir, 1));
    }
    if (!step) {
        platform::RemoveFile(exePath); // never leave a setup executable that cannot install
        return fail(step.message);
    }
    page.SetProgress(90);

    page.SetProgress(100);
    if (!options.quiet)
        platform::ShowMessageBox(kTitle, BuildSuccessMessage(exePath),
                                 platform::MessageIcon::Exclamation);
    return true;
}

bool CreaSoloInf(const Project& project, const BuildServices& services, BuildPage& page,
                 std::string* scriptPath) {
    *scriptPath = platform::JoinSourcePath(services.tempFolder, kScriptName);
    platform::Status step = services.writeScript(project, false, *scriptPath);
    if (step) {
        page.SetProgress(100);
        step = services.saveProject(project);
    }
    if (!step) {
        ShowError(step.message);
        page.ClearProgress();
        return false;
    }
    return true;
}

bool RunBuild(const Project& project, const BuildOptions& options, const BuildServices& services,
              BuildPage& page, std::string* scriptPath) {
    if (options.scriptOnly) {
        bool done = CreaSoloInf(project, services, page, scriptPath);
        if (done)
            page.ShowScriptOnlyDone();
        else
            page.ShowBuildFailed();
        return done;
    }
    bool done = CreaPacchetto(project, options, services, page);
    if (done)
        page.ShowBuildDone();
    else
        page.ShowBuildFailed();
    return done;
}

} // namespace velaset

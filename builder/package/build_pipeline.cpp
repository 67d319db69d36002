#include "builder/package/build_pipeline.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "builder/package/architecture_checks.h"
#include "builder/package/comprimi_binding.h"
#include "builder/package/joined_text.h"
#include "builder/package/launch_check.h"
#include "builder/package/package_times.h"
#include "builder/package/setup_executable.h"
#include "builder/project/failure_text.h"
#include "builder/project/package_names.h"
#include "builder/project/project_file.h"
#include "builder/script/script_file.h"
#include "common/constants.h"
#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "platform/file_times.h"
#include "platform/file_writer.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/short_path.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {

namespace {

const char kScriptName[] = "setup.inf";
const char kUnsignedName[] = "unsigned.exe"; // the setup executable before its signature
const char kSignedName[] = "signed.exe";     // and after it, before it takes its place
const char kPasswordName[] = "password";     // the signing password, for the signing tool
const char kNamedFolder[] = "nomi"; // copies of files under the 8.3 names the package makes

// The figure of the bar after each stage of a full build; the wizard pauses 200 ms at
// each one above 0. The cabinet step fills the part from kProjectSaved to kCabinetMade.
constexpr int kStarted = 0;
constexpr int kScriptWritten = 10;
constexpr int kProjectSaved = 30;
constexpr int kCabinetMade = 50;
constexpr int kStubWritten = 70;
constexpr int kCabinetAppended = 90;
constexpr int kFinished = 100;

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
            platform::IgnoreFailure(platform::RemoveFolderTree(path_));
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const {
        return platform::JoinSourcePath(path_, name);
    }

  private:
    std::string path_;
};

// The short form of a path for the cabinet's file list. When the system has none (the
// file vanished) the path itself goes to the library, whose message then names it.
std::string ListPath(const std::string& path) {
    std::string shortPath = platform::ShortPath(path);
    return shortPath.empty() ? path : shortPath;
}

// The same for a project file, each folder read once for all of them.
std::string ListPath(const std::string& path, platform::ShortPathCache& shortPaths) {
    std::string shortPath = shortPaths.ShortPath(path);
    return shortPath.empty() ? path : shortPath;
}

// A refused input is unusable; any other failure is the step's own kind.
FailureKind KindOf(const platform::Status& failure, FailureKind otherwise) {
    return failure.kind == platform::ErrorKind::Refused ? FailureKind::InvalidInput : otherwise;
}

// Every file within what the cabinet holds of one file, known from its size before any
// of the work; the refusal names the file, its size and the limit.
platform::Status CheckFileSizes(const Project& project) {
    for (const FileEntry& file : project.Files()) {
        std::uint64_t size = 0;
        if (platform::FileSize(file.path, &size) && size > CABINET_FILE_LIMIT)
            return platform::Status::Failed(
                JoinedText({"Il file ", file.path, " è di ", std::to_string(size),
                            " byte: un file CAB ne può contenere al massimo ",
                            std::to_string(CABINET_FILE_LIMIT),
                            " per file, e il pacchetto non è stato creato."}),
                platform::ErrorKind::Refused);
    }
    return platform::Status::Ok();
}

// The project file or a listed file that path names; "" when it names neither.
std::string OwnFileAt(const Project& project, const std::string& path) {
    if (!platform::PathExists(path))
        return "";
    if (platform::SameFile(path, project.ProgFile))
        return "il file di progetto";
    for (const FileEntry& file : project.Files()) {
        if (platform::SameFile(path, file.path))
            return "un file del progetto (" + file.path + ")";
    }
    return "";
}

// The folder of the setup executable must exist: a build never writes a package anywhere
// but where it was told (a moved project's ExeFile would otherwise land beside the
// program). "" when it does, else the refusal; fromOption: the path is the build's own,
// not the project's ExeFile.
std::string MissingOutputFolder(const std::string& exeFile, bool fromOption) {
    if (exeFile.empty())
        return "Il progetto non indica l'eseguibile da creare (ExeFile).";
    const std::string folder = platform::SourceFolderPart(exeFile);
    if (folder.empty() || platform::IsDirectory(folder))
        return "";
    const std::string path = platform::WithoutTrailingSeparator(folder);
    if (platform::PathExists(path))
        return JoinedText({path, " è un file, non una cartella: l'eseguibile ", exeFile,
                           " non è stato creato."});
    if (fromOption)
        return JoinedText({"La cartella ", folder, " di ", exeFile,
                           " non esiste: l'eseguibile non è stato creato."});
    return JoinedText({"La cartella ", folder, " dell'eseguibile ", exeFile,
                       " (ExeFile) non esiste, forse perché il progetto è stato spostato: "
                       "l'eseguibile non è stato creato, né lì né altrove, e il progetto non è "
                       "stato modificato."});
}

// One run of CreaPacchetto. Each step answers false after reporting its failure.
class PackageBuild {
  public:
    PackageBuild(const Project& project, const BuildOptions& options, const BuildServices& services,
                 BuildStatus& status)
        : project_(project), services_(services), status_(status),
          exePath_(options.exeFile.empty() ? project.ExeFile : options.exeFile),
          exeFromOptions_(!options.exeFile.empty()),
          distributionOnly_(project.Distribuzione() == 1), editScript_(options.editScript),
          architecture_(options.architecture.value_or(project.Architettura)),
          compression_(options.compression.value_or(project.Compressione)),
          signing_(options.signing) {}

    // Everything that can be checked is checked before anything is written: the output
    // folder, the cabinet library (bound here, for every caller, so that a Windows
    // program without its "Compress.dll" fails at once), the program to start, the
    // output path, the stub image and, for a package with
    // uninstall support, the runtime library, both of the package's architecture, and
    // every library that the package registers. Then the new setup executable is begun
    // beside the old one, which it replaces only once it is complete: an output folder
    // that cannot take it is found out before the cabinet is made, and the old package
    // stays whole until then, whatever stops the build.
    bool Inputs() {
        Start(BuildStep::Inputs);
        Report(kStarted);
        const std::string noFolder = MissingOutputFolder(exePath_, exeFromOptions_);
        if (!noFolder.empty())
            return Fail(FailureKind::NoOutputFolder, noFolder);
        platform::Status bound = services_.bindComprimi(&comprimi_);
        if (!bound)
            return Fail(FailureKind::MissingInput, FailureText(bound), bound);
        const std::string launch = LaunchRefusal(project_);
        if (!launch.empty())
            return Fail(FailureKind::InvalidInput, launch);
        const std::string own = OwnFileAt(project_, exePath_);
        if (!own.empty())
            return Fail(FailureKind::InvalidInput,
                        "Impossibile creare " + exePath_ + ": è " + own +
                            ", che la creazione del pacchetto cancellerebbe. Scegliere un altro "
                            "nome per l'eseguibile.");
        StubImage stub;
        platform::Status found = services_.locateStub(architecture_, &stub);
        if (found)
            found = ReadStubImage(stub, architecture_, &stubBytes_);
        if (found)
            found = SetExecutionLevel(&stubBytes_, project_.Ambito);
        if (found && !distributionOnly_) {
            found = services_.locateRuntime(architecture_, &runtimeLibrary_);
            if (found)
                found = CheckRuntimeLibrary(runtimeLibrary_, architecture_);
        }
        if (found)
            found = CheckSelfRegisteredLibraries(project_, architecture_);
        if (!found)
            return Fail(KindOf(found, FailureKind::MissingInput), FailureText(found), found);
        const platform::Status sized = CheckFileSizes(project_);
        if (!sized)
            return Fail(FailureKind::TooLarge, sized.message, sized);
        if (signing_.Wanted() && !SigningInputs())
            return false;
        platform::Status begun = output_.Begin(exePath_);
        if (!begun)
            return Fail(FailureKind::UnwritableOutput, WriteFailureText(begun), begun);
        platform::Status made = work_.Make(services_.tempFolder);
        if (!made)
            return Fail(FailureKind::UnwritableOutput,
                        "Impossibile creare una cartella di lavoro in " + services_.tempFolder +
                            ", " + made.message,
                        made);
        return true;
    }

    // setup.inf in the private folder, edited by the user when asked; then the project
    // is saved, so that it survives a failure of the later steps.
    bool Script() {
        Start(BuildStep::Script);
        script_ = work_.File(kScriptName);
        platform::Status step = services_.writeScript(project_, distributionOnly_, script_);
        if (!step)
            return Fail(KindOf(step, FailureKind::UnwritableOutput), WriteFailureText(step), step);
        Report(kScriptWritten);
        if (editScript_) {
            step = services_.editScript(script_);
            if (!step)
                return Fail(FailureKind::EditorFailed,
                            FailureText(step) + ": il pacchetto non è stato creato.", step);
            if (Stopped())
                return false;
        }
        step = services_.saveProject(project_);
        if (!step)
            return Fail(KindOf(step, FailureKind::UnwritableOutput), FailureText(step), step);
        Report(kProjectSaved);
        return true;
    }

    // The file list, every entry by its short path, with the package time on the
    // script and on the runtime library's copy (and SOURCE_DATE_EPOCH on newer files);
    // then Comprimi, which must make one cabinet only. A file whose short path does not
    // end in its package name (the system gave it no 8.3 name), or cannot stand in
    // Compress.dll's "+"-separated list, goes in as a copy under that name.
    bool Cabinet() {
        Start(BuildStep::Cabinet);
        std::vector<std::string> sources;
        for (const FileEntry& file : project_.Files())
            sources.push_back(file.path);
        const CabinetTimes range = CabinetTimeRange();
        const std::int64_t packageTime =
            NearestCabinetTime(PackageTime(sources, services_.sourceDateEpoch), range);
        std::string outOfRange; // the files whose dates a cabinet cannot hold
        platform::ShortPathCache shortPaths;
        const std::vector<std::string> names = PackageShortNames(project_.Files(), shortPaths);
        std::vector<std::string> listed;
        for (size_t i = 0; i < sources.size(); ++i) {
            const std::string& source = sources[i];
            if (Stopped())
                return false;
            std::string entry = ListPath(source, shortPaths);
            if (!names[i].empty() && (platform::SourceFileName(entry) != names[i] ||
                                      entry.find('+') != std::string::npos)) {
                platform::Status copied = NamedCopy(source, names[i], &entry);
                if (!copied)
                    return CannotMakeCabinet(copied);
            }
            // A file newer than SOURCE_DATE_EPOCH, or dated where a cabinet holds no
            // date, is packed from a copy with the time it may have.
            std::int64_t time;
            if (platform::ReadFileTime(source, &time)) {
                std::int64_t packed = services_.sourceDateEpoch && time > *services_.sourceDateEpoch
                                          ? *services_.sourceDateEpoch
                                          : time;
                if (NearestCabinetTime(packed, range) != packed) {
                    packed = NearestCabinetTime(packed, range);
                    outOfRange += JoinedText({"\n  ", source, " (", LocalTimeText(time), ": ",
                                              LocalTimeText(packed), ")"});
                }
                if (packed != time) {
                    platform::Status copied = ClampedCopy(source, entry, packed, &entry);
                    if (!copied)
                        return CannotMakeCabinet(copied);
                }
            }
            listed.push_back(entry);
        }
        if (!outOfRange.empty())
            status_.Notice(JoinedText({"Questi file hanno una data che un file CAB non può "
                                       "contenere (prima del 1980 o dopo il 2107): sono nel "
                                       "pacchetto con la data più vicina che può contenere.",
                                       outOfRange}));
        std::string runtimeEntry;
        if (!distributionOnly_) {
            const std::string runtimeCopy = work_.File(kRuntimeFileName);
            if (signing_.Wanted() && signing_.signRuntime) {
                // Signed into the private folder, then given the package time.
                platform::Status signed_ = Sign(runtimeLibrary_, runtimeCopy, runtimeCopy);
                if (!signed_)
                    return Fail(FailureKind::SigningFailed, signed_.message, signed_);
                platform::Status timed = platform::WriteFileTime(runtimeCopy, packageTime);
                if (!timed)
                    return CannotMakeCabinet(timed);
            } else {
                platform::Status copied = TimedCopy(runtimeLibrary_, runtimeCopy, packageTime);
                if (!copied)
                    return CannotMakeCabinet(copied);
            }
            runtimeEntry = ListPath(runtimeCopy);
        }
        platform::Status timed = platform::WriteFileTime(script_, packageTime);
        if (!timed)
            return CannotMakeCabinet(timed);

        const std::string scriptEntry = ListPath(script_);
        PlanPacking(sources, listed, runtimeEntry, scriptEntry);
        cabDir_ = work_.Path() + platform::SourceSeparator();
        const CabinetProgress progress = [this](std::uint32_t bytes) { return Packed(bytes); };
        if (CreaCab(comprimi_, cabDir_,
                    CabinetEntries(listed, runtimeEntry, scriptEntry, compression_),
                    compression_, progress) == 0) {
            if (stopped_)
                return Fail(FailureKind::Interrupted, "");
            return Fail(FailureKind::CabinetFailed, CabinetFailureText());
        }
        if (platform::PathExists(CabinetPath(cabDir_, 2)))
            return Fail(FailureKind::TooLarge,
                        "I file del progetto superano il limite di " +
                            std::to_string(CABINET_SIZE_LIMIT) +
                            " byte di un file CAB: il pacchetto di installazione ne può "
                            "contenere uno solo. Dividere i file in più progetti.");
        Report(kCabinetMade, packedBytes_);
        return true;
    }

    // The stub image, then the cabinet behind it, into the new setup executable. One
    // that is to be signed is written into the private folder first, so that no unsigned
    // one ever stands at its path.
    bool Executable() {
        Start(BuildStep::Executable);
        platform::FileReplacement unsignedExe;
        platform::FileReplacement* exe = &output_;
        platform::Status step = platform::Status::Ok();
        if (signing_.Wanted()) {
            exe = &unsignedExe;
            step = unsignedExe.Begin(work_.File(kUnsignedName));
        }
        if (step)
            step = InserisciDLL(*exe, stubBytes_);
        if (step) {
            Report(kStubWritten);
            step = InserisciFile(*exe, CabinetPath(cabDir_, 1));
        }
        if (step && exe == &unsignedExe)
            step = unsignedExe.Commit();
        if (!step)
            return Fail(FailureKind::UnwritableOutput, WriteFailureText(step), step);
        Report(kCabinetAppended);
        return !Stopped();
    }

    // The signed setup executable, made from the unsigned one in the private folder,
    // becomes the new one; nothing when no signature is asked for.
    bool Signature() {
        if (!signing_.Wanted())
            return true;
        Start(BuildStep::Signature);
        const std::string signedExe = work_.File(kSignedName);
        platform::Status step = Sign(work_.File(kUnsignedName), signedExe, exePath_);
        if (!step)
            return Fail(FailureKind::SigningFailed, step.message, step);
        step = output_.AppendFile(signedExe);
        if (!step)
            return Fail(FailureKind::UnwritableOutput, WriteFailureText(step), step);
        return !Stopped();
    }

    // The new setup executable takes the old one's place in one step.
    bool PutInPlace() {
        platform::Status placed = output_.Commit();
        if (!placed)
            return Fail(FailureKind::UnwritableOutput, WriteFailureText(placed), placed);
        return true;
    }

    void Done() {
        Report(kFinished);
        status_.BuildDone(exePath_);
    }

    // True (after reporting) when the build has been asked to stop.
    bool Stopped() {
        if (!services_.interrupted || !services_.interrupted())
            return false;
        Fail(FailureKind::Interrupted, "");
        return true;
    }

  private:
    // The signing program and the files it reads must be there before anything is
    // built; a missing one fails the build at once.
    bool SigningInputs() {
        signingTool_ = services_.findProgram(kSigningTool);
        if (signingTool_.empty())
            return Fail(FailureKind::SigningFailed,
                        std::string("Impossibile firmare il pacchetto: il programma ") +
                            kSigningTool + " non è installato.");
        platform::Status readable = CheckSigningFiles(signing_);
        if (!readable)
            return Fail(FailureKind::MissingInput, FailureText(readable), readable);
        return true;
    }

    // Signs in into out; a failure names shown. The password goes to the signing program
    // in a file of the private folder, which only this user may read, never on its
    // command line.
    platform::Status Sign(const std::string& in, const std::string& out, const std::string& shown) {
        std::string passwordFile;
        if (!signing_.password.empty()) {
            passwordFile = work_.File(kPasswordName);
            platform::Status written = WritePassword(passwordFile);
            if (!written)
                return platform::Status::Failed(FailureText(written), written.kind,
                                                platform::Operation::None, passwordFile);
        }
        platform::Status signed_ = SignFile(services_.runProgram,
                                            SigningCommand(signingTool_, signing_, passwordFile,
                                                           services_.sourceDateEpoch, in, out),
                                            shown);
        if (!passwordFile.empty())
            platform::IgnoreFailure(platform::RemoveFile(passwordFile));
        return signed_;
    }

    platform::Status WritePassword(const std::string& path) const {
        return platform::WriteNewFile(path, signing_.password);
    }

    void Start(BuildStep step) {
        step_ = step;
        status_.StepStarted(step);
    }

    void Report(int percent, std::uint64_t bytes = 0) {
        BuildProgress progress;
        progress.step = step_;
        progress.percent = percent;
        progress.bytesDone = bytes;
        progress.bytesTotal = bytes;
        status_.Progress(progress);
    }

    // Where each packed file ends among the bytes the library compresses, in list order,
    // with the name the user knows it by.
    void PlanPacking(const std::vector<std::string>& sources,
                     const std::vector<std::string>& listed, const std::string& runtimeEntry,
                     const std::string& scriptEntry) {
        std::uint64_t end = 0;
        auto add = [this, &end](const std::string& entry, const std::string& name) {
            std::uint64_t size = 0;
            if (!entry.empty() && platform::FileSize(entry, &size)) {
                end += size;
                packing_.push_back({end, name});
            }
        };
        // A project file's size by its own path: its short path would have to be found
        // among its folder's names again, file by file.
        for (size_t i = 0; i < listed.size(); ++i)
            add(listed[i].empty() ? listed[i] : sources[i], sources[i]);
        add(runtimeEntry, runtimeLibrary_);
        add(scriptEntry, kScriptName); // its place is the build's own folder
        packedBytes_ = end;
    }

    // The library has compressed bytes more: the bar moves from kProgressSaved towards
    // kCabinetMade, and the file being packed is named. An interrupt stops the library.
    bool Packed(std::uint32_t bytes) {
        if (services_.interrupted && services_.interrupted()) {
            stopped_ = true;
            return false;
        }
        // A folder compressed again is told again: the count never passes the total.
        packedDone_ = std::min(packedDone_ + bytes, packedBytes_);
        size_t file = packingFile_;
        while (file + 1 < packing_.size() && packing_[file].end <= packedDone_)
            ++file;
        const int permille =
            packedBytes_ == 0 ? 1000 : static_cast<int>(packedDone_ * 1000 / packedBytes_);
        if (permille == reportedPermille_ && file == packingFile_)
            return true;
        reportedPermille_ = permille;
        packingFile_ = file;
        BuildProgress progress;
        progress.step = step_;
        progress.percent = kProjectSaved + (kCabinetMade - kProjectSaved) * permille / 1000;
        progress.bytesDone = packedDone_;
        progress.bytesTotal = packedBytes_;
        progress.stageEnd = false;
        progress.packing = packing_.empty() ? std::string() : packing_[file].name;
        status_.Progress(progress);
        return true;
    }

    bool Fail(FailureKind kind, std::string text,
              const platform::Status& cause = platform::Status::Ok()) {
        BuildFailure failure;
        failure.step = step_;
        failure.kind = kind;
        failure.text = std::move(text);
        failure.systemError = cause.systemError;
        status_.BuildFailed(failure);
        return false;
    }

    bool CannotMakeCabinet(const platform::Status& failure) {
        FailureKind kind = failure.operation == platform::Operation::Read
                               ? FailureKind::MissingInput
                               : FailureKind::UnwritableOutput;
        if (failure.kind == platform::ErrorKind::DiskFull)
            return Fail(kind, WriteFailureText(failure), failure);
        return Fail(kind,
                    "Impossibile creare il file CAB, " + failure.subject + ": " + failure.message,
                    failure);
    }

    // A full disk is told by the folder that is full: the output folder, or the working
    // folder with the variable that moves it. Any other failure as FailureText says it.
    std::string WriteFailureText(const platform::Status& failure) const {
        if (failure.kind != platform::ErrorKind::DiskFull)
            return FailureText(failure);
        std::string below;
        if (failure.subject != exePath_ &&
            platform::PathBelow(work_.Path() + platform::SourceSeparator(), failure.subject,
                                &below))
            return WorkingFolderFull("i file di lavoro del pacchetto",
                                     JoinedText({" (", failure.message, ")"}));
        return JoinedText(
            {"Impossibile creare ", failure.subject, ": il disco della cartella ",
             platform::WithoutTrailingSeparator(platform::SourceFolderPart(failure.subject)),
             " è pieno (", failure.message, ")."});
    }

    std::string WorkingFolderFull(const char* what, const std::string& detail) const {
        return JoinedText({"Impossibile creare ", what, ": il disco della cartella di lavoro ",
                           services_.tempFolder, " è pieno", detail,
                           "; la cartella di lavoro si sposta con la variabile ",
                           platform::TempFolderVariable(), "."});
    }

    // The cabinet library has told the user its own failure. When the working folder's
    // disk has less room than packing these files may take (the cabinet and the library's
    // temporary files, each at most about their size), the folder is named too.
    std::string CabinetFailureText() const {
        std::uint64_t free = 0;
        const std::uint64_t needed = 2 * packedBytes_ + (1u << 20);
        if (!services_.freeSpace || !services_.freeSpace(services_.tempFolder, &free) ||
            free >= needed)
            return "";
        return WorkingFolderFull("il file CAB",
                                 JoinedText({", con ", MegabytesText(free), " MB liberi dei ",
                                             MegabytesText(needed),
                                             " che la compressione di questi file può chiedere"}));
    }

    // A copy of a project file carrying time (SOURCE_DATE_EPOCH, or the nearest a cabinet
    // holds), in a folder of its own under the name of listed; *entry becomes the copy's
    // short path.
    platform::Status ClampedCopy(const std::string& source, const std::string& listed,
                                 std::int64_t time, std::string* entry) {
        const std::string folder = work_.File("clamped");
        platform::Status made = platform::MakeDirectory(folder);
        if (!made)
            return made;
        const std::string copy = platform::JoinSourcePath(folder, platform::SourceFileName(listed));
        platform::Status copied = TimedCopy(source, copy, time);
        if (copied)
            *entry = ListPath(copy);
        return copied;
    }

    // A copy of a project file under its package name, with the file's own time, in a
    // folder of the private folder; *entry becomes the copy's short path.
    platform::Status NamedCopy(const std::string& source, const std::string& name,
                               std::string* entry) {
        const std::string folder = work_.File(kNamedFolder);
        platform::Status made = platform::MakeDirectory(folder);
        if (!made)
            return made;
        std::int64_t time;
        if (!platform::ReadFileTime(source, &time))
            return platform::Status::LastSystemError(platform::Operation::Read, source);
        const std::string copy = platform::JoinSourcePath(folder, name);
        platform::Status copied = TimedCopy(source, copy, time);
        if (copied)
            *entry = ListPath(copy);
        return copied;
    }

    const Project& project_;
    const BuildServices& services_;
    BuildStatus& status_;
    const std::string exePath_;
    const bool exeFromOptions_;
    const bool distributionOnly_;
    const bool editScript_;
    const Architecture architecture_;
    const Compression compression_;
    const SigningOptions signing_;
    std::string signingTool_;
    BuildStep step_ = BuildStep::Inputs;
    PrivateFolder work_;
    std::string stubBytes_;
    std::string runtimeLibrary_;
    std::string script_;
    std::string cabDir_;
    ComprimiFunction comprimi_; // bound by the inputs step
    platform::FileReplacement output_; // the new setup executable
    bool stopped_ = false; // the cabinet library was stopped by an interrupt
    struct PackedFile {
        std::uint64_t end;
        std::string name;
    };
    std::vector<PackedFile> packing_;
    std::uint64_t packedBytes_ = 0;
    std::uint64_t packedDone_ = 0;
    size_t packingFile_ = 0;
    int reportedPermille_ = -1;
};

} // namespace

BuildServices DefaultBuildServices() {
    BuildServices services;
    services.bindComprimi = BindComprimi;
    services.locateStub = LocateStubImage;
    services.locateRuntime = LocateRuntimeLibrary;
    services.writeScript = [](const Project& project, bool distributionOnly,
                              const std::string& path) {
        return WriteSetupScript(
            project, distributionOnly ? ScriptVariant::DistributionOnly : ScriptVariant::Full,
            path);
    };
    services.editScript = platform::EditTextFileAndWait;
    services.saveProject = SaveProject;
    services.findProgram = platform::FindProgram;
    services.runProgram = platform::RunProgram;
    services.tempFolder = platform::TempFolder();
    services.freeSpace = platform::FreeDiskSpace;
    services.sourceDateEpoch = SourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"));
    return services;
}

bool CreaPacchetto(const Project& project, const BuildOptions& options,
                   const BuildServices& services, BuildStatus& status) {
    PackageBuild build(project, options, services, status);
    if (!build.Inputs() || build.Stopped() || !build.Script() || build.Stopped() ||
        !build.Cabinet() || build.Stopped() || !build.Executable() || !build.Signature() ||
        build.Stopped() || !build.PutInPlace())
        return false;
    build.Done();
    return true;
}

bool CreaSoloInf(const Project& project, const BuildServices& services, BuildStatus& status) {
    status.StepStarted(BuildStep::Script);
    const std::string script = platform::JoinSourcePath(services.tempFolder, kScriptName);
    platform::Status step = services.writeScript(project, false, script);
    if (step) {
        BuildProgress written;
        written.step = BuildStep::Script;
        written.percent = kFinished;
        status.Progress(written);
        step = services.saveProject(project);
    }
    if (!step) {
        BuildFailure failure;
        failure.step = BuildStep::Script;
        failure.kind = KindOf(step, FailureKind::UnwritableOutput);
        failure.text = FailureText(step);
        failure.systemError = step.systemError;
        status.BuildFailed(failure);
        return false;
    }
    status.BuildDone(script);
    return true;
}

bool RunBuild(const Project& project, const BuildOptions& options, const BuildServices& services,
              BuildStatus& status) {
    if (options.scriptOnly)
        return CreaSoloInf(project, services, status);
    return CreaPacchetto(project, options, services, status);
}

} // namespace velaset

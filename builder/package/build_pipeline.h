// The build pipeline: one project in, one setup executable out (CreaPacchetto), or only
// the setup script (the script-only run). A build is a function of the project, its
// options and its services; it reports through a BuildStatus and shows nothing itself.
// Every step that fails ends the build: nothing that the build half wrote is left, and
// BuildDone comes only after a build that made its output.
#ifndef VELASET_BUILDER_PACKAGE_BUILD_PIPELINE_H
#define VELASET_BUILDER_PACKAGE_BUILD_PIPELINE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "builder/package/build_status.h"
#include "builder/package/cabinet_step.h"
#include "builder/package/code_signing.h"
#include "builder/package/runtime_files.h"
#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// What the one who starts a build chooses for it (the first wizard page, the command
// line's options).
struct BuildOptions {
    bool scriptOnly = false; // "Crea solo file inf": write the setup script only
    bool editScript = false; // "Modifica file inf": the user edits the script before packing
    std::string exeFile;     // the setup executable to write; empty = the project's ExeFile
    // The package's architecture for this build only; none = the project's Architettura.
    // The project saved by the build keeps its own.
    std::optional<Architecture> architecture;
    // The cabinet's compression for this build only; none = the project's Compressione.
    std::optional<Compression> compression;
    SigningOptions signing;  // the signature of the setup executable, when wanted
};

// What a build takes from outside. DefaultBuildServices fills every member; tests and
// the wizard replace some of them.
struct BuildServices {
    // Binds the cabinet library's entry point, at the inputs step of a full build:
    // linked into the native programs, loaded from "Compress.dll" by the Windows ones.
    std::function<platform::Status(ComprimiFunction*)> bindComprimi;
    // The stub image and the runtime library of the package's architecture.
    std::function<platform::Status(Architecture, StubImage*)> locateStub;
    std::function<platform::Status(Architecture, std::string*)> locateRuntime;
    std::function<platform::Status(const Project&, bool distributionOnly, const std::string&)>
        writeScript;
    std::function<platform::Status(const std::string&)> editScript;
    std::function<platform::Status(const Project&)> saveProject;
    // The signing program's path by its command name (empty: none), and how it is run.
    std::function<std::string(const std::string&)> findProgram;
    ProgramRunner runProgram;
    std::string tempFolder;                      // parent of each build's private folder
    // The bytes free on the disk of a folder (false: unknown), to tell a full disk.
    std::function<bool(const std::string&, std::uint64_t*)> freeSpace;
    std::optional<std::int64_t> sourceDateEpoch; // SOURCE_DATE_EPOCH
    // True once the build is asked to stop (an interrupt of the command line); asked
    // between the steps and with every block the cabinet library compresses. Empty: never.
    std::function<bool()> interrupted;
};

BuildServices DefaultBuildServices();

// The whole build: the steps inputs, script, cabinet, executable and, when a signature
// is asked for, signature. True when the setup executable was made (status then had
// BuildDone with its path). Before anything is written the inputs step refuses an output
// folder that does not exist (FailureKind::NoOutputFolder), a cabinet library that cannot
// be bound, a program to start that the package does not install, an output path that is
// the project file or one of its files, and an output folder where the setup executable
// cannot be created; an
// interrupted build ends as failed (FailureKind::Interrupted). A build that fails or is
// interrupted leaves no working file and no setup executable.
[[nodiscard]] bool CreaPacchetto(const Project& project, const BuildOptions& options,
                                 const BuildServices& services, BuildStatus& status);

// The script-only run: the full setup script into the temporary folder, then the
// project saved. True on success (BuildDone with the script's path).
[[nodiscard]] bool CreaSoloInf(const Project& project, const BuildServices& services,
                               BuildStatus& status);

// The build trigger: the script-only run when options.scriptOnly, CreaPacchetto
// otherwise.
[[nodiscard]] bool RunBuild(const Project& project, const BuildOptions& options,
                            const BuildServices& services, BuildStatus& status);

} // namespace velaset

#endif

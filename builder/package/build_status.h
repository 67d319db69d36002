// What a build tells whoever started it. The pipeline shows nothing itself: it reports
// the step it is in, how far it has come and how it ended through BuildStatus, and each
// front end decides what the user sees - the wizard on its last page and in message
// boxes, the command line as a bar or as lines on the error stream, a test as a record.
#ifndef VELASET_BUILDER_PACKAGE_BUILD_STATUS_H
#define VELASET_BUILDER_PACKAGE_BUILD_STATUS_H

#include <cstdint>
#include <string>

namespace velaset {

// The steps of a build, in the order in which they run.
enum class BuildStep {
    Inputs,     // the stub image and the runtime library found, the old executable removed
    Script,     // setup.inf written (and edited by the user), the project saved
    Cabinet,    // the files packed into setup.CAB by Comprimi
    Executable, // the stub image followed by the cabinet written as the setup executable
    Signature,  // the setup executable signed (only when a signature is asked for)
};

// How far a build has come. percent is of the whole build (the figure of the wizard's
// bar); bytesDone of bytesTotal counts the bytes of the files packed into the cabinet,
// both 0 in the steps that pack nothing. A stage end is one of the fixed figures 0, 10,
// 30, 50, 70, 90 and 100 that end a part of the build (the wizard pauses there); while
// the cabinet is made, the figure moves from 30 towards 50 with the bytes compressed,
// and packing names the file being compressed.
struct BuildProgress {
    BuildStep step = BuildStep::Inputs;
    int percent = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    bool stageEnd = true;
    std::string packing;
};

// Why a build failed.
enum class FailureKind {
    MissingInput,     // a file that the build reads is missing or cannot be read
    InvalidInput,     // an input is there but cannot be used (a stub image of the wrong
                      // size, a text that Windows-1252 cannot hold)
    UnwritableOutput, // the setup executable, the script, the project file or a working
                      // file cannot be written
    NoOutputFolder,   // the setup executable's folder does not exist, or no setup
                      // executable is named at all
    EditorFailed,     // the editor of the script could not be started or ended abnormally
    CabinetFailed,    // the cabinet library failed; it has told the user itself
    TooLarge,         // the files need more than the one cabinet a package can carry
    Interrupted,      // the build was asked to stop (an interrupt of the command line)
    SigningFailed,    // the signing program is missing, or it failed (it has told why on
                      // the error stream)
};

struct BuildFailure {
    BuildStep step = BuildStep::Inputs;
    FailureKind kind = FailureKind::MissingInput;
    std::string text;    // what the user is told, in Italian; empty for CabinetFailed and
                         // Interrupted
    int systemError = 0; // the system's error number behind the failure, 0 when none
};

class BuildStatus {
  public:
    virtual ~BuildStatus() = default;
    // A step begins; the steps come in the order of BuildStep, none twice.
    virtual void StepStarted(BuildStep step) = 0;
    virtual void Progress(const BuildProgress& progress) = 0;
    // The build ended without its output; nothing that it half wrote is left.
    virtual void BuildFailed(const BuildFailure& failure) = 0;
    // The build ended with its output at path: the setup executable, or the setup
    // script of a script-only run.
    virtual void BuildDone(const std::string& path) = 0;
    // Something the build changed on its own to go on, for the user to know (Italian).
    virtual void Notice(const std::string& text) = 0;
};

} // namespace velaset

#endif

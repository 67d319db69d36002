// The build pipeline: one project in, one setup executable out (CreaPacchetto), or
// only the setup script (the script-only run). Every step that fails ends the build:
// the user is told why, nothing that the build half wrote is left, and the success
// message comes only after a build that made its setup executable.
#ifndef VELASET_BUILDER_BUILD_BUILD_PIPELINE_H
#define VELASET_BUILDER_BUILD_BUILD_PIPELINE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "builder/build/build_page.h"
#include "builder/build/cabinet_step.h"
#include "builder/build/runtime_files.h"
#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// The options of the first wizard page that steer a build.
struct BuildOptions {
    bool scriptOnly = false; // "Crea solo file inf" (chkInf)
    bool editScript = false; // "Modifica file inf" (chkMod): edit the script before packing
    bool quiet = false;      // no success message (the command line's --quiet)
    std::string exeFile;     // the setup executable to write; empty = the project's ExeFile
};

// What a build takes from outside. DefaultBuildServices fills every member but
// comprimi, which the program binds (linked or loaded from "Compress.dll"); tests
// replace any of them.
struct BuildServices {
    ComprimiFunction comprimi;
    std::function<platform::Status(StubImage*)> locateStub;
    std::function<platform::Status(std::string*)> locateRuntime;
    std::function<platform::Status(const Project&, bool distributionOnly, const std::string&)>
        writeScript;
    std::function<platform::Status(const std::string&)> editScript;
    std::function<platform::Status(const Project&)> saveProject;
    std::string tempFolder;                     // parent of each build's private folder
    std::optional<std::int64_t> sourceDateEpoch; // SOURCE_DATE_EPOCH
};

BuildServices DefaultBuildServices();

// The success message: "Il file " + the executable's file name in capitals +
// " è stato creato!".
std::string BuildSuccessMessage(const std::string& exePath);

// The whole build; true when the setup executable was made. Reports its failures in
// message boxes titled "Velaset" (the cabinet library reports its own).
bool CreaPacchetto(const Project& project, const BuildOptions& options,
                   const BuildServices& services, BuildPage& page);

// Writes the full setup script into the temporary folder and saves the project;
// *scriptPath gets the script's path. True on success.
bool CreaSoloInf(const Project& project, const BuildServices& services, BuildPage& page,
                 std::string* scriptPath);

// The build trigger of the last wizard page: the script-only run or CreaPacchetto,
// then the page's texts. True on success.
bool RunBuild(const Project& project, const BuildOptions& options, const BuildServices& services,
              BuildPage& page, std::string* scriptPath);

} // namespace velaset

#endif

// The cabinet step of a build (CreaCab): the file list for Comprimi and the call.
#ifndef VELASET_BUILDER_PACKAGE_CABINET_STEP_H
#define VELASET_BUILDER_PACKAGE_CABINET_STEP_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {

// Told the uncompressed bytes of each block the cabinet library has compressed (0 while
// it writes the cabinet file); answers false to stop the library.
using CabinetProgress = std::function<bool(std::uint32_t bytes)>;

// One file of the cabinet: the path the library opens, and whether its folder ends after
// it (false: the next file shares the folder; the last file's folder always ends).
struct CabinetEntry {
    std::string path;
    bool endsFolder = true;
};

// The cabinet library's entry point, however it is bound: linked into the native
// programs, which hand it the entries as they are, or loaded by name from "Compress.dll"
// by the Windows ones, which join them into its "+"-separated list (Comprimi with its
// progress, ComprimiConAvanzamento, for MSZIP; ComprimiConMetodo for another method,
// with the list's "|"). method is the folders' type: kMethodMsZip or kMethodLzx. 1 =
// cabinet made; 0 = failed, the library has shown its own messages, or stopped because
// progress answered false (then it shows none).
using ComprimiFunction =
    std::function<int(const std::string& cabDir, const std::string& cabBase,
                      const std::vector<CabinetEntry>& entries, std::uint32_t maxCabSize,
                      std::uint32_t method, const CabinetProgress& progress)>;

// The folder types of ComprimiConMetodo: MSZIP, and LZX with its 2 MB window.
const std::uint32_t kMethodMsZip = 0x0001;
const std::uint32_t kMethodLzx = 0x1503;

// The base name of the cabinet; Comprimi writes "setup.CAB" (then setup2.CAB, ... when
// the files need more than one cabinet).
extern const char* const kCabinetBaseName; // "setup"

// The cabinet's files in order: each project file in a folder of its own, then the
// runtime library unless runtimeLibrary is empty (distribution-only), then the script.
// For LZX the project files share one folder, whose matches reach from file to file; the
// runtime library and the script keep folders of their own, so that the installer
// unpacks the script alone without the whole project.
std::vector<CabinetEntry> CabinetEntries(const std::vector<std::string>& files,
                                         const std::string& runtimeLibrary,
                                         const std::string& script,
                                         Compression compression = Compression::MsZip);

// Calls comprimi with cabDir (which must end with the separator), "setup", the entries,
// CABINET_SIZE_LIMIT and the compression's method; answers the low 16 bits of its result.
int CreaCab(const ComprimiFunction& comprimi, const std::string& cabDir,
            const std::vector<CabinetEntry>& entries, Compression compression,
            const CabinetProgress& progress);

// The path of the n-th cabinet (1, 2, ...) that Comprimi writes into cabDir.
std::string CabinetPath(const std::string& cabDir, int number);

} // namespace velaset

#endif

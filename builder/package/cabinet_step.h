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

// The cabinet library's entry point, however it is bound: linked into the native
// programs, loaded by name from "Compress.dll" by the Windows ones (Comprimi with its
// progress, ComprimiConAvanzamento, for MSZIP; ComprimiConMetodo for another method,
// with the list's "|"). method is the folders' type: kMethodMsZip or kMethodLzx. 1 =
// cabinet made; 0 = failed, the library has shown its own messages, or stopped because
// progress answered false (then it shows none).
using ComprimiFunction =
    std::function<int(const std::string& cabDir, const std::string& cabBase,
                      const std::string& fileList, std::uint32_t maxCabSize,
                      std::uint32_t method, const CabinetProgress& progress)>;

// The folder types of ComprimiConMetodo: MSZIP, and LZX with its 2 MB window.
const std::uint32_t kMethodMsZip = 0x0001;
const std::uint32_t kMethodLzx = 0x1503;

// The base name of the cabinet; Comprimi writes "setup.CAB" (then setup2.CAB, ... when
// the files need more than one cabinet).
extern const char* const kCabinetBaseName; // "setup"

// The list in Comprimi's format: each project file followed by "+" (one folder per
// file), then the runtime library and "+" unless runtimeLibrary is empty
// (distribution-only), then the script with no "+" behind it. For LZX the project files
// are joined by "|" into one folder, whose matches reach from file to file; the runtime
// library and the script keep folders of their own, so that the installer unpacks the
// script alone without the whole project.
std::string ComprimiFileList(const std::vector<std::string>& files,
                             const std::string& runtimeLibrary, const std::string& script,
                             Compression compression = Compression::MsZip);

// Calls comprimi with cabDir (which must end with the separator), "setup", the list,
// CABINET_SIZE_LIMIT and the compression's method; answers the low 16 bits of its result.
int CreaCab(const ComprimiFunction& comprimi, const std::string& cabDir,
            const std::string& fileList, Compression compression,
            const CabinetProgress& progress);

// The path of the n-th cabinet (1, 2, ...) that Comprimi writes into cabDir.
std::string CabinetPath(const std::string& cabDir, int number);

} // namespace velaset

#endif

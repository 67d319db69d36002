// The cabinet step of a build (CreaCab): the file list for Comprimi and the call.
#ifndef VELASET_BUILDER_PACKAGE_CABINET_STEP_H
#define VELASET_BUILDER_PACKAGE_CABINET_STEP_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velaset {

// Told the uncompressed bytes of each block the cabinet library has compressed (0 while
// it writes the cabinet file); answers false to stop the library.
using CabinetProgress = std::function<bool(std::uint32_t bytes)>;

// The cabinet library's entry point, however it is bound: linked into the native
// programs, loaded by name from "Compress.dll" by the Windows ones (Comprimi with its
// progress, ComprimiConAvanzamento). 1 = cabinet made; 0 = failed, the library has shown
// its own messages, or stopped because progress answered false (then it shows none).
using ComprimiFunction =
    std::function<int(const std::string& cabDir, const std::string& cabBase,
                      const std::string& fileList, std::uint32_t maxCabSize,
                      const CabinetProgress& progress)>;

// The base name of the cabinet; Comprimi writes "setup.CAB" (then setup2.CAB, ... when
// the files need more than one cabinet).
extern const char* const kCabinetBaseName; // "setup"

// The list in Comprimi's format: each project file followed by "+" (one folder per
// file), then the runtime library and "+" unless runtimeLibrary is empty
// (distribution-only), then the script with no "+" behind it.
std::string ComprimiFileList(const std::vector<std::string>& files,
                             const std::string& runtimeLibrary, const std::string& script);

// Calls comprimi with cabDir (which must end with the separator), "setup", the list and
// CABINET_SIZE_LIMIT; answers the low 16 bits of its result.
int CreaCab(const ComprimiFunction& comprimi, const std::string& cabDir,
            const std::string& fileList, const CabinetProgress& progress);

// The path of the n-th cabinet (1, 2, ...) that Comprimi writes into cabDir.
std::string CabinetPath(const std::string& cabDir, int number);

} // namespace velaset

#endif

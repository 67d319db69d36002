// Where a build finds the Windows files that every package needs: the installer
// stub's program image and the setup runtime library "avviora.dll", each of the
// package's architecture. The x64 files (Avviora64.exe and the 64-bit avviora.dll,
// which keeps its name) stand in the "x64" sub-folder of a folder of the 32-bit ones.
#ifndef VELASET_BUILDER_PACKAGE_RUNTIME_FILES_H
#define VELASET_BUILDER_PACKAGE_RUNTIME_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// The stub image: the bytes of file from offset on. The command line takes Avviora.exe
// or Avviora64.exe itself (offset 0, the image is the whole file); the wizard takes its
// own program file, which carries both images at its end, and names the size that
// file must have.
struct StubImage {
    std::string file;
    std::int64_t offset = 0;
    std::int64_t fileSize = 0; // the size of file; 0: offset + the image's size
};

extern const char* const kStubFileName;    // "Avviora.exe"
extern const char* const kStub64FileName;  // "Avviora64.exe"
extern const char* const kRuntimeFileName; // "avviora.dll", for both architectures
extern const char* const kX64FolderName;   // "x64"

// The stub's file name and image size (STUB_IMAGE_SIZE, STUB64_IMAGE_SIZE) of an
// architecture.
const char* StubFileName(Architecture architecture);
std::int64_t StubImageSize(Architecture architecture);

// The folders searched, in order. X86: the system folder (on POSIX the "win32" folder
// beside the program, or VELASET_SYSTEM_DIR), the program's own folder, and its "win32"
// sub-folder. X64: the system folder (the 64-bit one, for a 64-bit program), then the
// "x64" sub-folder of each X86 folder. The build tree (build/bin, build/bin/win32 and
// build/bin/win32/x64) and an installed copy (PREFIX/bin, PREFIX/bin/win32 and
// PREFIX/bin/win32/x64) both have this layout.
std::vector<std::string> RuntimeSearchFolders(Architecture architecture = Architecture::X86);

// The first folder of folders that holds name; the candidates looked at go to
// *lookedAt (full paths), so that a failure can name them.
bool FindInFolders(const std::vector<std::string>& folders, const std::string& name,
                   std::string* found, std::vector<std::string>* lookedAt);

// The stub of the architecture by the search above. A missing file fails with
// "Impossibile trovare NAME; cercato in: PATH, PATH" (ErrorKind::NotFound).
platform::Status LocateStubImage(Architecture architecture, StubImage* stub);

// The first avviora.dll of the search that is a library of the architecture: a system
// folder that holds the runtime of the other one (where an x64 package was installed,
// the 64-bit system folder holds the 64-bit runtime) is passed over. None found fails
// with "Impossibile trovare avviora.dll[ per x64 (64 bit)]; cercato in: PATH, PATH",
// followed by what each file of another architecture is.
platform::Status LocateRuntimeLibrary(Architecture architecture, std::string* path);
// The same search in folders.
platform::Status LocateRuntimeLibraryIn(const std::vector<std::string>& folders,
                                        Architecture architecture, std::string* path);

// The stub bytes of image, checked: a Windows program for the architecture's machine
// of exactly its image size (and a file of the size named), else the setup executable
// would not find its cabinet or would not run. Such a refusal (ErrorKind::Refused)
// names the file; a failure to read it concerns the file (Operation::Read).
platform::Status ReadStubImage(const StubImage& image, Architecture architecture,
                               std::string* bytes);

} // namespace velaset

#endif

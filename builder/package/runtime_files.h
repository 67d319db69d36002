// Where a build finds the two Windows files that every package needs: the installer
// stub's program image and the setup runtime library "avviora.dll".
#ifndef VELASET_BUILDER_PACKAGE_RUNTIME_FILES_H
#define VELASET_BUILDER_PACKAGE_RUNTIME_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace velaset {

// The stub image: the bytes of file from offset to its end. The command line takes
// Avviora.exe itself (offset 0); the wizard takes its own program file, which carries
// the image from STUB_OFFSET_IN_BUILDER on.
struct StubImage {
    std::string file;
    std::int64_t offset = 0;
};

extern const char* const kStubFileName;    // "Avviora.exe"
extern const char* const kRuntimeFileName; // "avviora.dll"

// The folders searched, in order: the system folder (on POSIX the "win32" folder beside
// the program, or VELASET_SYSTEM_DIR), the program's own folder, and its "win32"
// sub-folder. The build tree (build/bin and build/bin/win32) and an installed copy
// (PREFIX/bin and PREFIX/bin/win32) both have this layout.
std::vector<std::string> RuntimeSearchFolders();

// The first folder of folders that holds name; the candidates looked at go to
// *lookedAt (full paths), so that a failure can name them.
bool FindInFolders(const std::vector<std::string>& folders, const std::string& name,
                   std::string* found, std::vector<std::string>* lookedAt);

// Avviora.exe and avviora.dll by the search above. A missing file fails with
// "Impossibile trovare NAME; cercato in: PATH, PATH" (ErrorKind::NotFound).
platform::Status LocateStubImage(StubImage* stub);
platform::Status LocateRuntimeLibrary(std::string* path);

// The stub bytes of image, checked: the image must be exactly STUB_IMAGE_SIZE bytes and
// begin like a Windows program ("MZ"), else the setup executable would not find its
// cabinet. Such a refusal (ErrorKind::Refused) names the file; a failure to read it
// concerns the file (Operation::Read).
platform::Status ReadStubImage(const StubImage& image, std::string* bytes);

} // namespace velaset

#endif

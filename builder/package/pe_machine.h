// Which processor a Windows program or library is for: the machine field of its PE
// file header. A package must never carry a stub, a runtime library or a library to
// register of the other architecture: a 64-bit system folder cannot load a 32-bit
// avviora.dll, and regsvr32 of one architecture registers nothing of the other.
//
//   offset 0x3C           4 bytes, little-endian: offset of the PE signature
//   at that offset        "PE\0\0", then the machine: 0x014C i386, 0x8664 x86-64
#ifndef VELASET_BUILDER_PACKAGE_PE_MACHINE_H
#define VELASET_BUILDER_PACKAGE_PE_MACHINE_H

#include <string>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

enum class PeMachine {
    NotAnImage, // no "MZ" header or no PE signature where it points
    I386,       // 32-bit x86
    Amd64,      // 64-bit x64
    Other,      // a PE image for another processor
};

// The machine of the image that bytes hold from offset on (its headers are enough).
PeMachine PeMachineOfImage(const std::string& bytes, std::size_t offset = 0);

// The machine of the image in file. A file that cannot be read fails with its path
// (Operation::Read); one that is no PE image is NotAnImage.
platform::Status ReadPeMachine(const std::string& file, PeMachine* machine);

// The machine of the programs of a package of that architecture.
PeMachine MachineOf(Architecture architecture);

// What the messages say of a file of that machine: "è a 32 bit (x86)", "è a 64 bit
// (x64)", "è per un altro processore", "non è un programma Windows".
const char* MachineText(PeMachine machine);

// How the messages name an architecture: "x86 (32 bit)" or "x64 (64 bit)".
const char* ArchitectureText(Architecture architecture);

} // namespace velaset

#endif

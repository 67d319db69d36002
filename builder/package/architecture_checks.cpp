#include "builder/package/architecture_checks.h"

#include "builder/package/joined_text.h"
#include "builder/package/pe_machine.h"
#include "builder/script/destination_code.h"

namespace velaset {

namespace {

Architecture Other(Architecture architecture) {
    return architecture == Architecture::X64 ? Architecture::X86 : Architecture::X64;
}

// "a 32 bit" or "a 64 bit": the regsvr32 and the library version a package needs.
const char* Bits(Architecture architecture) {
    return architecture == Architecture::X64 ? "a 64 bit" : "a 32 bit";
}

} // namespace

platform::Status CheckRuntimeLibrary(const std::string& path, Architecture architecture) {
    PeMachine machine = PeMachine::NotAnImage;
    platform::Status read = ReadPeMachine(path, &machine);
    if (!read)
        return read;
    if (machine == MachineOf(architecture))
        return platform::Status::Ok();
    return platform::Status::Failed(JoinedText({"La libreria ", path, " ", MachineText(machine),
                                                ": un pacchetto ", ArchitectureText(architecture),
                                                " richiede la libreria avviora.dll ",
                                                Bits(architecture)}),
                                    platform::ErrorKind::Refused);
}

platform::Status CheckSelfRegisteredLibraries(const Project& project, Architecture architecture) {
    const PeMachine wrong = MachineOf(Other(architecture));
    for (const FileEntry& file : project.Files()) {
        if (!HasSelfRegisterMark(file.destination) ||
            !CodeAllowsSelfRegister(CodeOf(file.destination)))
            continue;
        PeMachine machine = PeMachine::NotAnImage;
        if (!ReadPeMachine(file.path, &machine) || machine != wrong)
            continue;
        return platform::Status::Failed(
            JoinedText({"La libreria da registrare ", file.path, " ", MachineText(machine),
                        ": un pacchetto ", ArchitectureText(architecture),
                        " la registrerebbe con regsvr32 ", Bits(architecture),
                        ", che non può caricarla. Usare la sua versione ", Bits(architecture),
                        " o creare un pacchetto ", ArchitectureText(Other(architecture)), "."}),
            platform::ErrorKind::Refused);
    }
    return platform::Status::Ok();
}

} // namespace velaset

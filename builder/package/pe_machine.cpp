#include "builder/package/pe_machine.h"

#include <cstdint>
#include <cstdio>

#include "platform/file_access.h"

namespace velaset {

namespace {

constexpr std::size_t kSignatureOffsetField = 0x3C;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

std::uint32_t Little(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

PeMachine FromField(std::uint16_t machine) {
    if (machine == kMachineI386)
        return PeMachine::I386;
    if (machine == kMachineAmd64)
        return PeMachine::Amd64;
    return PeMachine::Other;
}

// The six bytes "PE\0\0" and the machine field; false when they are not a signature.
bool MachineOfSignature(const unsigned char* six, PeMachine* machine) {
    if (six[0] != 'P' || six[1] != 'E' || six[2] != 0 || six[3] != 0)
        return false;
    *machine = FromField(static_cast<std::uint16_t>(Little(six + 4, 2)));
    return true;
}

} // namespace

PeMachine PeMachineOfImage(const std::string& bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < kSignatureOffsetField + 4)
        return PeMachine::NotAnImage;
    const unsigned char* image = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    const std::size_t size = bytes.size() - offset;
    if (image[0] != 'M' || image[1] != 'Z')
        return PeMachine::NotAnImage;
    const std::uint32_t signature = Little(image + kSignatureOffsetField, 4);
    PeMachine machine = PeMachine::NotAnImage;
    if (signature > size || size - signature < 6 || !MachineOfSignature(image + signature, &machine))
        return PeMachine::NotAnImage;
    return machine;
}

platform::Status ReadPeMachine(const std::string& file, PeMachine* machine) {
    std::FILE* in = platform::OpenFile(file, "rb");
    if (in == nullptr)
        return platform::Status::LastSystemError(platform::Operation::Read, file);
    unsigned char header[kSignatureOffsetField + 4];
    unsigned char signature[6];
    *machine = PeMachine::NotAnImage;
    if (std::fread(header, 1, sizeof header, in) == sizeof header && header[0] == 'M' &&
        header[1] == 'Z') {
        const std::uint32_t at = Little(header + kSignatureOffsetField, 4);
        // The signature lies within the first 2 GB of any image.
        if (at <= 0x7FFFFFFF && std::fseek(in, static_cast<long>(at), SEEK_SET) == 0 &&
            std::fread(signature, 1, sizeof signature, in) == sizeof signature)
            MachineOfSignature(signature, machine);
    }
    const bool failed = std::ferror(in) != 0;
    const int error = failed ? platform::LastSystemErrorCode() : 0;
    std::fclose(in);
    if (failed)
        return platform::Status::SystemError(error, platform::Operation::Read, file);
    return platform::Status::Ok();
}

PeMachine MachineOf(Architecture architecture) {
    return architecture == Architecture::X64 ? PeMachine::Amd64 : PeMachine::I386;
}

const char* MachineText(PeMachine machine) {
    switch (machine) {
    case PeMachine::I386:
        return "è a 32 bit (x86)";
    case PeMachine::Amd64:
        return "è a 64 bit (x64)";
    case PeMachine::Other:
        return "è per un altro processore";
    default:
        return "non è un programma Windows";
    }
}

const char* ArchitectureText(Architecture architecture) {
    return architecture == Architecture::X64 ? "x64 (64 bit)" : "x86 (32 bit)";
}

} // namespace velaset

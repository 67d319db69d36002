// Stand-ins for Windows program images: the installer stub's and the runtime library's.
#ifndef VELASET_TESTS_PACKAGE_FAKE_STUB_H
#define VELASET_TESTS_PACKAGE_FAKE_STUB_H

#include <string>

constexpr unsigned kMachineI386 = 0x014C;
constexpr unsigned kMachineAmd64 = 0x8664;

// size bytes: "MZ", at 0x3C the offset 0x40 of the PE signature, there "PE\0\0" and the
// machine field, then filler.
inline std::string FakeStubImage(std::size_t size, unsigned machine = kMachineI386) {
    std::string image(size, '\0');
    for (std::size_t i = 2; i < size; ++i)
        image[i] = static_cast<char>(i * 7);
    const std::string header = std::string("MZ") + std::string(0x3A, '\x90') +
                               std::string("\x40\0\0\0PE\0\0", 8) +
                               static_cast<char>(machine & 0xFF) +
                               static_cast<char>(machine >> 8);
    image.replace(0, header.size() < size ? header.size() : size, header, 0,
                  header.size() < size ? header.size() : size);
    return image;
}

// A library of that machine whose bytes end with content.
inline std::string FakeLibrary(unsigned machine, const std::string& content) {
    return FakeStubImage(0x46, machine) + content;
}

#endif

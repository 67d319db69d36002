// A stand-in for the installer stub's program image: "MZ" then filler.
#ifndef VELASET_TESTS_PACKAGE_FAKE_STUB_H
#define VELASET_TESTS_PACKAGE_FAKE_STUB_H

#include <string>

inline std::string FakeStubImage(std::size_t size) {
    std::string image(size, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    for (std::size_t i = 2; i < size; ++i)
        image[i] = static_cast<char>(i * 7);
    return image;
}

#endif

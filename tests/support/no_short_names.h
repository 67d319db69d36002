// The POSIX layer's volume without 8.3 names, for the life of one object.
#ifndef VELASET_TESTS_SUPPORT_NO_SHORT_NAMES_H
#define VELASET_TESTS_SUPPORT_NO_SHORT_NAMES_H

#ifndef _WIN32
#include <cstdlib>


namespace velaset_test {

class NoShortNamesVolume {
  public:
    NoShortNamesVolume() { setenv("VELASET_NO_SHORT_NAMES", "1", 1); }
    ~NoShortNamesVolume() { unsetenv("VELASET_NO_SHORT_NAMES"); }
    NoShortNamesVolume(const NoShortNamesVolume&) = delete;
    NoShortNamesVolume& operator=(const NoShortNamesVolume&) = delete;
};

} // namespace velaset_test
#endif

#endif

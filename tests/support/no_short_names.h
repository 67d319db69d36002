// The POSIX layer's volume without 8.3 names, for the life of one object.
#ifndef VELASET_TESTS_SUPPORT_NO_SHORT_NAMES_H
#define VELASET_TESTS_SUPPORT_NO_SHORT_NAMES_H

#ifndef _WIN32
#include <cstdlib>

#include "platform/short_path.h"

namespace velaset_test {

class NoShortNamesVolume {
  public:
    NoShortNamesVolume() { setenv(platform::kNoShortNamesVariable, "1", 1); }
    ~NoShortNamesVolume() { unsetenv(platform::kNoShortNamesVariable); }
    NoShortNamesVolume(const NoShortNamesVolume&) = delete;
    NoShortNamesVolume& operator=(const NoShortNamesVolume&) = delete;
};

} // namespace velaset_test
#endif

#endif

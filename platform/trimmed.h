// Inside the platform layer: folder names as the system or the environment give them,
// with blanks and tabs around them dropped.
#ifndef VELASET_PLATFORM_TRIMMED_H
#define VELASET_PLATFORM_TRIMMED_H

#include <string>

namespace platform {

std::string Trimmed(const std::string& s);

} // namespace platform

#endif

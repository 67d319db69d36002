#include "builder/build/package_times.h"

#include <cerrno>
#include <cstdlib>

#include "platform/file_times.h"

namespace velaset {

std::optional<std::int64_t> SourceDateEpoch(const char* value) {
    if (value == nullptr || *value < '0' || *value > '9')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long long seconds = std::strtoll(value, &end, 10);
    if (errno != 0 || *end != '\0' || seconds < 0)
        return std::nullopt;
    return static_cast<std::int64_t>(seconds);
}

std::int64_t PackageTime(const std::vector<std::string>& files,
                         std::optional<std::int64_t> sourceDateEpoch) {
    bool any = false;
    std::int64_t newest = 0;
    for (const std::string& file : files) {
        std::int64_t time;
        if (platform::ReadFileTime(file, &time) && (!any || time > newest)) {
            newest = time;
            any = true;
        }
    }
    std::int64_t packageTime = any ? newest : kEmptyProjectTime;
    if (sourceDateEpoch && *sourceDateEpoch < packageTime)
        packageTime = *sourceDateEpoch;
    return packageTime;
}

} // namespace velaset

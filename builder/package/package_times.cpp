#include "builder/package/package_times.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/file_times.h"
#include "platform/file_writer.h"

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

namespace {

constexpr std::int64_t kDay = 86400;

// Days since 1970-01-01 of a date of the Gregorian calendar.
std::int64_t DaysOf(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The seconds the machine's local time is ahead of UTC, taken at the start of 1980 (the
// cabinet's dates are local): the system's own time functions cannot all reach 2107.
std::int64_t LocalOffset() {
    std::tm local = {};
    local.tm_year = 80;
    local.tm_mday = 1;
    local.tm_isdst = -1;
    const std::time_t start = std::mktime(&local);
    return start == static_cast<std::time_t>(-1) ? 0 : DaysOf(1980, 1, 1) * kDay - start;
}

} // namespace

CabinetTimes CabinetTimeRange() {
    const std::int64_t offset = LocalOffset();
    return {DaysOf(1980, 1, 1) * kDay - offset, DaysOf(2107, 12, 31) * kDay + 86398 - offset};
}

std::int64_t NearestCabinetTime(std::int64_t time, const CabinetTimes& range) {
    return time < range.earliest ? range.earliest : time > range.latest ? range.latest : time;
}

std::string LocalTimeText(std::int64_t time) {
    std::int64_t local = time + LocalOffset();
    std::int64_t days = (local >= 0 ? local : local - kDay + 1) / kDay;
    const std::int64_t second = local - days * kDay;
    // The date of days since 1970-01-01, by the inverse of DaysOf.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%d %02d:%02d:%02d", day, month,
                  static_cast<int>(year), static_cast<int>(second / 3600),
                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

platform::Status TimedCopy(const std::string& source, const std::string& copy, std::int64_t time) {
    platform::Status copied = platform::CopyWholeFile(source, copy);
    if (!copied)
        return copied;
    return platform::WriteFileTime(copy, time);
}

} // namespace velaset

#include "builder/package/package_times.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/constants.h"
#include "platform/file_access.h"
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

namespace {

std::int64_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

} // namespace

CabinetTimes CabinetTimeRange() {
    return {LocalTime(1980, 1, 1, 0, 0, 0), LocalTime(2107, 12, 31, 23, 59, 58)};
}

std::int64_t NearestCabinetTime(std::int64_t time, const CabinetTimes& range) {
    return time < range.earliest ? range.earliest : time > range.latest ? range.latest : time;
}

std::string LocalTimeText(std::int64_t time) {
    const std::time_t when = static_cast<std::time_t>(time);
    const std::tm* local = std::localtime(&when);
    if (local == nullptr)
        return std::to_string(time);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", local);
    return text;
}

platform::Status TimedCopy(const std::string& source, const std::string& copy, std::int64_t time) {
    std::FILE* in = platform::OpenFile(source, "rb");
    if (in == nullptr)
        return platform::Status::LastSystemError(platform::Operation::Read, source);
    std::FILE* out = platform::OpenFile(copy, "wb");
    if (out == nullptr) {
        int error = platform::LastSystemErrorCode();
        std::fclose(in);
        return platform::Status::SystemError(error, platform::Operation::Create, copy);
    }
    char block[COPY_BLOCK_SIZE];
    std::size_t got;
    bool written = true;
    while (written && (got = std::fread(block, 1, sizeof block, in)) > 0)
        written = std::fwrite(block, 1, got, out) == got;
    int error = written ? 0 : platform::LastSystemErrorCode();
    bool read = !std::ferror(in);
    if (!read)
        error = platform::LastSystemErrorCode();
    std::fclose(in);
    if (std::fclose(out) != 0 && written && read) {
        written = false;
        error = platform::LastSystemErrorCode();
    }
    if (!read)
        return platform::Status::SystemError(error, platform::Operation::Read, source);
    if (!written)
        return platform::Status::SystemError(error, platform::Operation::Create, copy);
    return platform::WriteFileTime(copy, time);
}

} // namespace velaset

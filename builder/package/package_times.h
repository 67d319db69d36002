// Reproducible packages. The cabinet stores each file with its last-write time; the
// project's files bring their own, but the script and the runtime library are copied
// or written by each build. They get one fixed time, the package time:
//
//   - the newest last-write time among the project's files;
//   - 2000-01-01 00:00:00 UTC for a project without files;
//   - when SOURCE_DATE_EPOCH is set, never later than it: every time in the cabinet is
//     clamped to it, a project file newer than it is packed from a copy that carries
//     that time.
//
// So the same project with the same files gives the same setup executable on every
// run, natively and under Windows (the cabinet holds local times: both builders must
// run in one time zone).
#ifndef VELASET_BUILDER_PACKAGE_PACKAGE_TIMES_H
#define VELASET_BUILDER_PACKAGE_PACKAGE_TIMES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace velaset {

// The time of a project without files.
constexpr std::int64_t kEmptyProjectTime = 946684800; // 2000-01-01 00:00:00 UTC

// SOURCE_DATE_EPOCH when it holds a whole number of seconds; none otherwise.
std::optional<std::int64_t> SourceDateEpoch(const char* value);

// The package time of files (their last-write times; unreadable ones are skipped).
std::int64_t PackageTime(const std::vector<std::string>& files,
                         std::optional<std::int64_t> sourceDateEpoch);

// The times a cabinet can hold: local dates from 1980-01-01 to 2107-12-31, as seconds
// since 1970 (UTC) in the time zone of this machine.
struct CabinetTimes {
    std::int64_t earliest;
    std::int64_t latest;
};
CabinetTimes CabinetTimeRange();

// The time nearest to time that a cabinet can hold.
std::int64_t NearestCabinetTime(std::int64_t time, const CabinetTimes& range);

// A time as the user reads it: "31/12/2107 23:59:58" (local time).
std::string LocalTimeText(std::int64_t time);

// A copy of the file source at copy, with the last-write time time; the source keeps
// its own. A failure to read concerns source (Operation::Read), any other the copy.
platform::Status TimedCopy(const std::string& source, const std::string& copy, std::int64_t time);

} // namespace velaset

#endif

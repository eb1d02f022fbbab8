#include "history/live_time_text.h"

#include <cstdio>
#include <ctime>

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t SecondsOfFields(const std::tm& fields) {
    return DaysFromCivil(fields.tm_year + 1900, static_cast<unsigned>(fields.tm_mon + 1),
                         static_cast<unsigned>(fields.tm_mday)) *
               86400 +
           fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}

}  // namespace

std::string LocalIsoTimeText(std::int64_t utcMs, bool milliseconds) {
    const std::int64_t seconds = utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000;
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    // Windows has no tm_gmtoff: the local fields read as if they were UTC,
    // less the instant. Offsets stay within a day.
    const std::int64_t offsetMinutes = (SecondsOfFields(local) - seconds) / 60;
    const std::int64_t magnitude = (offsetMinutes < 0 ? -offsetMinutes : offsetMinutes) % 1440;
    char fraction[8] = "";
    if (milliseconds) {
        std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(utcMs - seconds * 1000));
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, fraction, offsetMinutes < 0 ? '-' : '+',
                  static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
    return text;
}

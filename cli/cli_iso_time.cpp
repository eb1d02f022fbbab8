#include "cli/cli_iso_time.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// The UTC offset in minutes of `local`, the local time of `moment`; Windows
// has no tm_gmtoff.
long OffsetMinutes(const std::tm& local, std::time_t moment) {
    const long long asUtc =
        DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) * 86400 +
        local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    return static_cast<long>((asUtc - static_cast<long long>(moment)) / 60);
}

std::string Text(const std::tm& local, std::time_t moment) {
    const long offset = OffsetMinutes(local, moment);
    // Offsets stay within a day.
    const int minutes = static_cast<int>(std::labs(offset) % (24 * 60));
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

}  // namespace

std::string IsoTime(const DeviceDateTime& local) {
    std::tm fields{};
    fields.tm_year = 100 + local.year;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    // mktime settles the offset of that local time, summer time included.
    const std::time_t moment = std::mktime(&fields);
    std::tm settled{};
    localtime_r(&moment, &settled);
    return Text(settled, moment);
}

std::string IsoTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return Text(local, moment);
}

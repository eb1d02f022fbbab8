#pragma once

#include <ctime>

// A local time of the PC as the clock commands take it, its day of the week
// filled in.
inline std::tm LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    std::mktime(&local);
    return local;
}

#include "sim/sim_calendar.h"

#include <ctime>

namespace sim_calendar {
namespace {

constexpr std::uint32_t kSecondsPerDay = 86400;

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
}

int DaysInYear(int year) {
    return year % 4 == 0 ? 366 : 365;
}

}  // namespace

DateTime FromSeconds(std::uint32_t seconds) {
    DateTime time{};
    time[0] = static_cast<std::uint8_t>(seconds % 60);
    time[1] = static_cast<std::uint8_t>(seconds / 60 % 60);
    time[2] = static_cast<std::uint8_t>(seconds / 3600 % 24);
    std::uint32_t days = seconds / kSecondsPerDay;
    int year = 0;
    while (days >= static_cast<std::uint32_t>(DaysInYear(year))) {
        days -= DaysInYear(year);
        ++year;
    }
    int month = 1;
    while (days >= static_cast<std::uint32_t>(DaysInMonth(month, year))) {
        days -= DaysInMonth(month, year);
        ++month;
    }
    time[3] = static_cast<std::uint8_t>(days + 1);
    time[4] = static_cast<std::uint8_t>(month);
    time[5] = static_cast<std::uint8_t>(year);
    return time;
}

bool ToSeconds(const DateTime& time, std::uint32_t& seconds) {
    const int month = time[4];
    const int year = time[5];
    if (time[0] > 59 || time[1] > 59 || time[2] > 23 || month < 1 || month > 12 || year > 135 ||
        time[3] < 1 || time[3] > DaysInMonth(month, year)) {
        return false;
    }
    std::uint32_t days = time[3] - 1u;
    for (int y = 0; y < year; ++y) {
        days += DaysInYear(y);
    }
    for (int m = 1; m < month; ++m) {
        days += DaysInMonth(m, year);
    }
    seconds = days * kSecondsPerDay + time[2] * 3600u + time[1] * 60u + time[0];
    return true;
}

std::uint32_t LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTime time{static_cast<std::uint8_t>(local.tm_sec % 60),
                  static_cast<std::uint8_t>(local.tm_min),
                  static_cast<std::uint8_t>(local.tm_hour),
                  static_cast<std::uint8_t>(local.tm_mday),
                  static_cast<std::uint8_t>(local.tm_mon + 1),
                  static_cast<std::uint8_t>(local.tm_year - 100)};
    std::uint32_t seconds = 0;
    return ToSeconds(time, seconds) ? seconds : 0;
}

}  // namespace sim_calendar

#include "sim/sim_calendar.h"

#include <ctime>

namespace sim_calendar {
namespace {

// 2136 is the last year whose seconds since 2000 fit 32 bits.
constexpr int kLastYear = 135;

}  // namespace

std::optional<std::uint32_t> ToSeconds(const DeviceDateTime& time) {
    if (time.second > 59 || time.minute > 59 || time.hour > 23 || time.year > kLastYear ||
        time.day < 1 || time.day > DaysInMonth(time.month, time.year)) {
        return std::nullopt;
    }
    return SecondsSince2000(time);
}

std::uint32_t LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DeviceDateTime time;
    time.second = static_cast<std::uint8_t>(local.tm_sec % 60);  // leap second
    time.minute = static_cast<std::uint8_t>(local.tm_min);
    time.hour = static_cast<std::uint8_t>(local.tm_hour);
    time.day = static_cast<std::uint8_t>(local.tm_mday);
    time.month = static_cast<std::uint8_t>(local.tm_mon + 1);
    time.year = static_cast<std::uint8_t>(local.tm_year - 100);
    return ToSeconds(time).value_or(0);
}

}  // namespace sim_calendar

#include "protocol/calendar.h"

namespace {

constexpr std::array<int, 12> kDaysPerMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Days before the end of each month, common and leap year.
constexpr std::array<int, 12> kCommonYearEnds{31,  59,  90,  120, 151, 181,
                                              212, 243, 273, 304, 334, 365};
constexpr std::array<int, 12> kLeapYearEnds{31,  60,  91,  121, 152, 182,
                                            213, 244, 274, 305, 335, 366};

constexpr std::uint32_t kSecondsPerDay = 86400;
constexpr std::uint32_t kDaysPerCycle = 1461;  // four years, the first a leap year

}  // namespace

DeviceDateTime DeviceDateTime::Of(int year, int month, int day, int hour, int minute, int second) {
    DeviceDateTime time;
    time.year = static_cast<std::uint8_t>(year - 2000);
    time.month = static_cast<std::uint8_t>(month);
    time.day = static_cast<std::uint8_t>(day);
    time.hour = static_cast<std::uint8_t>(hour);
    time.minute = static_cast<std::uint8_t>(minute);
    time.second = static_cast<std::uint8_t>(second);
    return time;
}

DeviceDateTime DeviceDateTime::FromBytes(const std::uint8_t* bytes) {
    return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]};
}

std::array<std::uint8_t, DeviceDateTime::kSize> DeviceDateTime::Bytes() const {
    return {second, minute, hour, day, month, year};
}

std::uint16_t DayNumber(int year, int month, int day) {
    int number = day <= 31 ? day : 0;
    const int monthIndex = (month >= 1 && month <= 12) ? month - 1 : 0;
    if (monthIndex > 0) {
        const auto& ends = (year % 4 == 0) ? kLeapYearEnds : kCommonYearEnds;
        number += ends[monthIndex - 1];
    }
    if (year > 0) {
        number += 365 * year + (year + 3) / 4;
    }
    return static_cast<std::uint16_t>(number);
}

std::uint32_t SecondsSince2000(const DeviceDateTime& time) {
    const std::uint32_t dayNumber = DayNumber(time.year, time.month, time.day);
    const std::uint32_t wholeDays = dayNumber > 0 ? dayNumber - 1 : 0;
    return wholeDays * kSecondsPerDay + time.hour * 3600u + time.minute * 60u + time.second;
}

DeviceDateTime DateTimeOfSeconds(std::uint32_t seconds) {
    DeviceDateTime result;
    result.second = static_cast<std::uint8_t>(seconds % 60);
    result.minute = static_cast<std::uint8_t>((seconds / 60) % 60);
    result.hour = static_cast<std::uint8_t>((seconds / 3600) % 24);

    const std::uint32_t days = (seconds / kSecondsPerDay) % 65536;
    const std::uint32_t cycle = days / kDaysPerCycle;
    std::uint32_t dayOfCycle = days % kDaysPerCycle;
    const std::uint32_t yearOfCycle = ((dayOfCycle > 0 ? dayOfCycle : 1) - 1) / 365;
    result.year = static_cast<std::uint8_t>(4 * cycle + yearOfCycle);

    if (dayOfCycle >= 366) {
        dayOfCycle -= dayOfCycle < 731 ? 366 : dayOfCycle < 1096 ? 731 : 1096;
    }
    const auto& ends = yearOfCycle == 0 ? kLeapYearEnds : kCommonYearEnds;
    std::size_t month = 0;
    while (month < ends.size() && dayOfCycle >= static_cast<std::uint32_t>(ends[month])) {
        ++month;
    }
    result.month = static_cast<std::uint8_t>(month + 1);
    result.day =
        static_cast<std::uint8_t>(month == 0 ? dayOfCycle + 1 : dayOfCycle - ends[month - 1] + 1);
    return result;
}

int DaysInMonth(int month, int year) {
    if (month < 1 || month > 12) {
        return 0;
    }
    return kDaysPerMonth[month - 1] + ((month == 2 && year % 4 == 0) ? 1 : 0);
}

#include "settings/device_clock.h"

namespace {
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2099;
constexpr int kTmYearBase = 1900;
constexpr int kDaysPerWeek = 7;
}  // namespace

std::tm PcLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::optional<DeviceTimeRecord> ClockRecordOf(const std::tm& local) {
    const int year = local.tm_year + kTmYearBase;
    if (year < kFirstYear || year > kLastYear) {
        return std::nullopt;
    }
    DeviceTimeRecord record;
    record.second = static_cast<std::uint8_t>(local.tm_sec);
    record.minute = static_cast<std::uint8_t>(local.tm_min);
    record.hour = static_cast<std::uint8_t>(local.tm_hour);
    record.day = static_cast<std::uint8_t>(local.tm_mday);
    record.month = static_cast<std::uint8_t>(local.tm_mon + 1);
    record.year = static_cast<std::uint8_t>(year - kFirstYear);
    // tm counts Sunday as 0; the record counts it as 7.
    record.reserved = static_cast<std::uint8_t>(local.tm_wday == 0 ? kDaysPerWeek : local.tm_wday);
    return record;
}

DeviceTimeRecord UnknownClockRecord() {
    return {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
}

#include "cli/cli_history_period.h"

#include <cstdio>

#include "protocol/calendar.h"

std::optional<std::uint32_t> ParseHistoryTime(const std::string& text, bool endOfPeriod) {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = endOfPeriod ? 23 : 0;
    int minute = endOfPeriod ? 59 : 0;
    int second = endOfPeriod ? 59 : 0;
    char separator = 0;
    int consumed = 0;
    const int fields =
        std::sscanf(text.c_str(), "%4d-%2d-%2d%n%c%2d:%2d%n:%2d%n", &year, &month, &day, &consumed,
                    &separator, &hour, &minute, &consumed, &second, &consumed);
    const bool dateOnly = fields == 3;
    const bool withTime = (fields == 6 || fields == 7) && (separator == 'T' || separator == ' ');
    if ((!dateOnly && !withTime) || consumed != static_cast<int>(text.size())) {
        return std::nullopt;
    }
    if (fields == 6) {
        second = endOfPeriod ? 59 : 0;
    }
    if (year < 2000 || year > 2099 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(month, year - 2000) || hour > 23 || minute > 59 || second > 59 ||
        hour < 0 || minute < 0 || second < 0) {
        return std::nullopt;
    }
    return SecondsSince2000(DeviceDateTime::Of(year, month, day, hour, minute, second));
}

#pragma once

#include <string>

#include "base/app_log.h"
#include "protocol/calendar.h"

namespace history_test {

// A view or moment; the second is left at 0.
inline DeviceDateTime Date(int year, int month, int day, int hour = 0, int minute = 0) {
    DeviceDateTime view;
    view.year = static_cast<std::uint8_t>(year - 2000);
    view.month = static_cast<std::uint8_t>(month);
    view.day = static_cast<std::uint8_t>(day);
    view.hour = static_cast<std::uint8_t>(hour);
    view.minute = static_cast<std::uint8_t>(minute);
    return view;
}

inline bool LogMentions(const AppLog& log, const std::string& text) {
    for (const std::string& line : log.Lines()) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace history_test

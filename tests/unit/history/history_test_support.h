#pragma once

#include <string>

#include "base/app_log.h"
#include "protocol/calendar.h"

namespace history_test {

// A view or moment; the second is left at 0.
inline DeviceDateTime Date(int year, int month, int day, int hour = 0, int minute = 0) {
    return DeviceDateTime::Of(year, month, day, hour, minute);
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
